// lcdhost show and tree as a user runs them: with the Wendrikai library, against a real LCDd
// and against a small fake display server that goes away and comes back; several screens of
// fake plug-ins on a real LCDd, run in this process; and the connection to the addresses of a
// host name on loopback sockets.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

#include "host/live/live.h"
#include "host/live/socket_posix.h"
#include "tests/host/fake_plugin.h"
#include "tests/support/process.h"
#include "tests/support/skip.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using testing_support::Lines;
using testing_support::RunShell;
using testing_support::Slurp;
namespace fs = std::filesystem;

const std::string kHost = TESS_LCDHOST;

// A program started in the background, its output going to files and its input from a pipe.
class Child {
  public:
    Child(const std::vector<std::string>& argv, const std::string& folder)
        : out_(folder + "/out"), err_(folder + "/err") {
        int in[2];
        EXPECT_EQ(pipe(in), 0);
        stdinWrite_ = in[1];
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        for (const auto& [fd, path] : {std::pair{1, &out_}, std::pair{2, &err_}})
            posix_spawn_file_actions_addopen(&actions, fd, path->c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
        EXPECT_EQ(posix_spawnp(&pid_, args[0], &actions, &attributes, args.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        close(in[0]);
    }
    ~Child() {
        if (pid_ > 0 && status_ < -1) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(stdinWrite_);
    }
    // Sends `signal`; returns the exit status if it exits within `limit`, else -2.
    int Stop(int signal, std::chrono::milliseconds limit) {
        kill(pid_, signal);
        return Wait(limit);
    }
    int Wait(std::chrono::milliseconds limit) {
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            int raw = 0;
            if (waitpid(pid_, &raw, WNOHANG) == pid_) {
                status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
                return status_;
            }
            std::this_thread::sleep_for(20ms);
        }
        return -2;
    }
    std::string out() const { return Slurp(out_); }
    std::string err() const { return Slurp(err_); }

  private:
    std::string out_, err_;
    pid_t pid_ = -1;
    int status_ = -2;
    int stdinWrite_ = -1;
};

// 127.0.0.1:`port`; port 0 lets bind choose.
sockaddr_in LoopbackAddress(int port = 0) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// The fake server's listening socket on a loopback port.
int Listen(int* port, int backlog = 4) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address = LoopbackAddress();
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(listen(fd, backlog), 0);
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    *port = ntohs(address.sin_port);
    return fd;
}

// A loopback port that nothing listens on right now.
int FreePort() {
    int port = 0;
    close(Listen(&port));
    return port;
}

int Accept(int listener, std::chrono::milliseconds limit) {
    pollfd p{listener, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(limit.count())) != 1) return -1;
    return accept(listener, nullptr, nullptr);
}

// Reads from `fd` until `text` has arrived or `limit` passes; returns all that was read.
std::string ReadUntil(int fd, const std::string& text, std::chrono::milliseconds limit) {
    std::string got;
    const auto end = Clock::now() + limit;
    while (got.find(text) == std::string::npos && Clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) != 1) continue;
        char buffer[1024];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

void Send(int fd, const std::string& text) {
    ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

TEST(LcdhostShow, OncePrintsExactlyTheRowsFromAnyFolder) {
    auto r = RunShell("cd / && " + kHost +
                      " show --size 24x4 --once 'Up {Wendrikai:20}' "
                      "'{Wendrikai\\Custom\\d accumulated} d' 'tab\there'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto rows = Lines(r.out);
    ASSERT_EQ(rows.size(), 4u) << r.out;
    for (const auto& row : rows) EXPECT_EQ(row.size(), 24u) << "'" << row << "'";
    EXPECT_TRUE(std::regex_match(rows[0], std::regex("Up \\d+-\\d\\d:\\d\\d:\\d\\d +"))) << rows[0];
    EXPECT_TRUE(std::regex_match(rows[1], std::regex("\\d+ d +"))) << rows[1];
    EXPECT_EQ(rows[2], "tab here                ");
    EXPECT_EQ(rows[3], std::string(24, ' '));
}

TEST(LcdhostTree, ShowsTheGroupsAndEveryItemWithItsIndex) {
    auto r = RunShell(kHost + " tree Wendrikai");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 29u) << r.out;
    EXPECT_EQ(lines[0], "Wendrikai");
    EXPECT_EQ(lines[1], "  Custom");
    EXPECT_EQ(lines[2], "    d accumulated  {Wendrikai:0}");
    EXPECT_EQ(lines[16], "  Predefined");
    EXPECT_EQ(lines[23], "    d-hh:mm:ss part of day  {Wendrikai:20}");
}

TEST(LcdhostShow, ErrorsAreOneLineAndANonZeroExit) {
    const std::string port = std::to_string(FreePort());
    const std::pair<std::string, std::string> cases[] = {
        {"show --once '{Wendrikai:20'", "bad template"},
        {"show --once '{Wendrikai:26}'", "Wendrikai has no item 26"},
        {"show --once '{Wendrikai\\Custom\\none}'", "has no item"},
        {"show --once '{Nowhere:1}'", "unknown plug-in 'Nowhere'"},
        {"show --size 20 --once x", "bad --size"},
        {"show --lcdproc 127.0.0.1:" + port + " x", "cannot reach LCDd at 127.0.0.1:" + port},
        {"tree Nowhere", "unknown plug-in"},
    };
    for (const auto& [args, message] : cases) {
        auto r = RunShell(kHost + " " + args);
        EXPECT_NE(r.status, 0) << args;
        EXPECT_EQ(r.out, "") << args;
        ASSERT_FALSE(r.err.empty()) << args;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
}

std::string FindLcdd() {
    for (const char* path : {"/usr/sbin/LCDd", "/usr/bin/LCDd", "/usr/local/sbin/LCDd"})
        if (fs::exists(path)) return path;
    return "";
}

std::string FindDriverFolder() {
    std::vector<fs::path> candidates = {"/usr/lib/lcdproc", "/usr/local/lib/lcdproc"};
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/usr/lib", ec))
        candidates.push_back(entry.path() / "lcdproc");
    for (const auto& folder : candidates)
        if (fs::exists(folder / "text.so", ec)) return folder.string() + "/";
    return "";
}

// LCDd with its text driver, which prints every frame to its standard output, on a free
// loopback port, with a folder of its own for the test; `skip` is set when LCDd is not installed.
struct Lcdd {
    explicit Lcdd(const std::string& size) {
        const std::string lcdd = FindLcdd();
        if (lcdd.empty()) {
            skip = "LCDd is not installed (Debian package lcdproc)";
            return;
        }
        const std::string drivers = FindDriverFolder();
        EXPECT_FALSE(drivers.empty()) << "LCDd is installed but its text driver is not found";
        port = FreePort();
        const std::string config = folder + "/LCDd.conf";
        std::ofstream(config) << "[server]\nDriverPath=" << drivers
                              << "\nDriver=text\nBind=127.0.0.1\nPort=" << port
                              << "\nReportLevel=2\nReportToSyslog=no\nWaitTime=2\n"
                                 "ServerScreen=off\nForeground=yes\n[text]\nSize="
                              << size << "\n";
        fs::create_directory(folder + "/lcdd");
        server = std::make_unique<Child>(
            std::vector<std::string>{"stdbuf", "-oL", lcdd, "-f", "-c", config}, folder + "/lcdd");
        // Wait for the server to listen.
        for (int k = 0; k < 100 && !listening; ++k) {
            const int fd = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in address = LoopbackAddress(port);
            listening = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
            close(fd);
            if (!listening) std::this_thread::sleep_for(50ms);
        }
        EXPECT_TRUE(listening) << server->err();
    }
    ~Lcdd() { fs::remove_all(folder); }
    const std::string folder = testing_support::MakeTempFolder();
    std::string skip;
    int port = 0;
    bool listening = false;
    std::unique_ptr<Child> server;
};

TEST(LcdhostLcdproc, DrivesARealLcddWithUptimeLines) {
    Lcdd lcdd("20x4");
    if (!lcdd.skip.empty()) TESS_SKIP(lcdd.skip);
    ASSERT_TRUE(lcdd.listening);
    Child& server = *lcdd.server;
    fs::create_directory(lcdd.folder + "/host");

    Child host({kHost, "show", "--lcdproc", "127.0.0.1:" + std::to_string(lcdd.port),
                "Up {Wendrikai:20}", "{Wendrikai\\Custom\\d accumulated} days", "a}}b\\c {{x}}"},
               lcdd.folder + "/host");
    std::this_thread::sleep_for(4500ms);
    EXPECT_EQ(host.Stop(SIGINT, 3s), 0) << host.err();
    server.Stop(SIGTERM, 5s);

    const auto frames = Lines(server.out());
    std::set<std::string> uptimes;
    bool days = false, braces = false, blank = false;
    for (const auto& line : frames) {
        if (std::regex_match(line, std::regex("\\|Up \\d+-\\d\\d:\\d\\d:\\d\\d +\\|")))
            uptimes.insert(line);
        days = days || std::regex_match(line, std::regex("\\|\\d+ days +\\|"));
        braces = braces || line == "|a}b\\c {x}           |";
        blank = blank || line == "|                    |";
    }
    EXPECT_GE(uptimes.size(), 2u) << "the uptime advances from frame to frame\n" << server.out();
    EXPECT_TRUE(days) << server.out();
    EXPECT_TRUE(braces) << server.out();
    EXPECT_TRUE(blank) << server.out();
    EXPECT_EQ(host.out(), "");
}

// The lengths of the runs of frames of each screen, told by the start of the first row; the
// first and the last run may be cut short and are left out.
std::vector<std::pair<std::string, int>> Runs(const std::vector<std::string>& frames) {
    std::vector<std::pair<std::string, int>> runs;
    for (std::size_t k = 0; k + 1 < frames.size(); ++k) {
        if (frames[k].rfind("+--", 0) != 0 || frames[k + 1].rfind("|", 0) != 0) continue;
        const std::string screen = frames[k + 1].substr(0, 4);
        if (!runs.empty() && runs.back().first == screen)
            ++runs.back().second;
        else
            runs.emplace_back(screen, 1);
    }
    if (runs.size() < 2) return {};
    return {runs.begin() + 1, runs.end() - 1};
}

TEST(LcdhostLcdproc, SetsUpEveryScreenOnARealLcddAndReloadsOnSighup) {
    Lcdd lcdd("20x2");
    if (!lcdd.skip.empty()) TESS_SKIP(lcdd.skip);
    ASSERT_TRUE(lcdd.listening);

    fakes::FakeProvider fake{"Fake", 500, fakes::Labels(3)};
    fakes::FakeCatalog catalog;
    catalog.Add(&fake);
    host::PanelConfig config;
    config.lcdproc = "127.0.0.1:" + std::to_string(lcdd.port);
    // LCDd shows each screen for its duration, in eighths of a second; never a hidden one.
    config.screens = {{"one", 1, host::Priority::kForeground, {"one {Fake:0}", "x"}},
                      {"two", 2, host::Priority::kForeground, {"two {Fake:1}"}},
                      {"off", 1, host::Priority::kHidden, {"hidden"}}};
    host::LiveOptions options;
    options.reload = [](host::PanelConfig* next, std::string*) {
        next->screens = {{"new", 1, host::Priority::kForeground, {"new {Fake:2}"}}};
        return true;
    };
    std::ostringstream err;
    int status = -1;
    std::thread run([&] { status = host::RunScreens(config, catalog, options, err); });
    std::this_thread::sleep_for(6500ms);
    kill(getpid(), SIGHUP);
    std::this_thread::sleep_for(2000ms);
    kill(getpid(), SIGTERM);
    run.join();
    EXPECT_EQ(status, 0) << err.str();
    lcdd.server->Stop(SIGTERM, 5s);

    const std::string frames = lcdd.server->out();
    // The rotation before the reload (which may cut a run short).
    const auto runs = Runs(Lines(frames.substr(0, frames.find("|new"))));
    int ones = 0, twos = 0;
    for (const auto& [screen, length] : runs) {
        EXPECT_NE(screen, "|hid") << frames;
        if (screen == "|one") {
            EXPECT_NEAR(length, 8, 1) << frames;
            ++ones;
        }
        if (screen == "|two") {
            EXPECT_NEAR(length, 16, 1) << frames;
            ++twos;
        }
    }
    EXPECT_GE(ones, 2) << frames;
    EXPECT_GE(twos, 1) << frames;
    // The rows follow the values; after the reload only the new screen shows.
    std::set<std::string> values;
    for (const auto& line : Lines(frames))
        if (std::regex_match(line, std::regex("\\|one 0#\\d+ +\\|"))) values.insert(line);
    EXPECT_GE(values.size(), 3u) << frames;
    const auto reloadedAt = frames.find("|new 2#");
    ASSERT_NE(reloadedAt, std::string::npos) << frames;
    EXPECT_EQ(frames.find("|one", reloadedAt), std::string::npos) << frames;
    EXPECT_EQ(frames.find("|two", reloadedAt), std::string::npos) << frames;
    EXPECT_EQ(err.str(), "lcdhost: reloaded 1 screen\n") << "the connection stays";
}

TEST(LcdhostLcdproc, ReconnectsWhenTheServerComesBackAndStopsOnSigint) {
    int port = 0;
    const int listener = Listen(&port);
    const std::string folder = testing_support::MakeTempFolder();
    Child host(
        {kHost, "show", "--lcdproc", std::to_string(port), "{Wendrikai:20}", "x{Wendrikai:0}"},
        folder);
    // The greeting and the server's answer; what lcdhost sends up to its second row.
    auto greet = [](int conn) {
        EXPECT_EQ(ReadUntil(conn, "hello\n", 3s), "hello\n");
        Send(conn, "connect LCDproc 0.5.9 protocol 0.4 lcd wid 16 hgt 2 cellwid 5 cellhgt 8\n");
        return ReadUntil(conn, "widget_set S L2", 3s);
    };

    int conn = Accept(listener, 5s);
    ASSERT_GE(conn, 0);
    std::string setup = greet(conn);
    EXPECT_NE(setup.find("screen_add S\n"), std::string::npos) << setup;
    EXPECT_NE(setup.find("widget_add S L2 string\n"), std::string::npos) << setup;
    EXPECT_NE(setup.find("widget_set S L2 1 2 {x"), std::string::npos) << setup;
    Send(conn, "success\nlisten S\nhuh? Unknown command\n");
    close(conn);  // the server goes away

    const auto lostAt = Clock::now();
    conn = Accept(listener, 5s);
    ASSERT_GE(conn, 0) << "no reconnection";
    EXPECT_LT(Clock::now() - lostAt, 3s);
    setup = greet(conn);
    EXPECT_NE(setup.find("widget_add S L1 string\n"), std::string::npos) << setup;
    EXPECT_NE(setup.find("widget_set S L1 1 1 {"), std::string::npos) << setup;
    // It keeps updating: the uptime line changes every second.
    EXPECT_NE(ReadUntil(conn, "widget_set S L1", 3s).find("widget_set S L1"), std::string::npos);

    // Now the server stays away: lcdhost retries with back-off and still ends on SIGINT.
    close(conn);
    close(listener);
    std::this_thread::sleep_for(2500ms);
    const auto stopAt = Clock::now();
    EXPECT_EQ(host.Stop(SIGINT, 3s), 0);
    EXPECT_LT(Clock::now() - stopAt, 3s);
    const std::string err = host.err();
    EXPECT_NE(err.find("lost LCDd at 127.0.0.1:" + std::to_string(port)), std::string::npos) << err;
    EXPECT_NE(err.find("reconnected to LCDd"), std::string::npos) << err;
    EXPECT_NE(err.find("huh? Unknown command"), std::string::npos) << err;
    EXPECT_EQ(host.out(), "");
    fs::remove_all(folder);
}

TEST(LcdhostLcdproc, SendsPagesAndScrollersToAScriptedServerAndFollowsItsNotices) {
    int port = 0;
    const int listener = Listen(&port);
    const std::string folder = testing_support::MakeTempFolder();
    const std::string wide = "a line wider than sixteen";
    Child host({kHost, "show", "--lcdproc", std::to_string(port), "{Wendrikai:20}", wide, "third"},
               folder);
    const int conn = Accept(listener, 5s);
    ASSERT_GE(conn, 0);
    EXPECT_EQ(ReadUntil(conn, "hello\n", 3s), "hello\n");
    Send(conn, "connect LCDproc 0.5.9 protocol 0.4 lcd wid 16 hgt 2 cellwid 5 cellhgt 8\n");
    // Three lines on two rows: two pages, the wide line a marquee at 4 a second.
    const std::string setup = ReadUntil(conn, "widget_set Sp2 L1 1 1 {third", 3s);
    for (const std::string& part : std::vector<std::string>{
             "screen_set Sp1 -name {lcdhost 1/2} -duration 40 -priority info -heartbeat off\n",
             "screen_add Sp2\n", "widget_add Sp1 L2 scroller\n",
             "widget_set Sp1 L2 1 2 16 2 m 2 {" + wide + "}\n"})
        EXPECT_NE(setup.find(part), std::string::npos) << part << "\n" << setup;

    // Hidden, the uptime's page gets no rows; shown again, its rows come at once.
    Send(conn, "listen Sp2\nignore Sp1\n");
    const std::string hidden = ReadUntil(conn, "no such text", 2500ms);
    EXPECT_EQ(hidden.find("widget_set Sp1"), std::string::npos) << hidden;
    const auto shownAt = Clock::now();
    Send(conn, "ignore Sp2\nlisten Sp1\n");
    EXPECT_NE(ReadUntil(conn, "widget_set Sp1 L1", 3s).find("widget_set Sp1 L1 1 1 {"),
              std::string::npos);
    EXPECT_LT(Clock::now() - shownAt, 500ms);
    EXPECT_EQ(host.Stop(SIGINT, 3s), 0) << host.err();
    close(conn);
    close(listener);
    fs::remove_all(folder);
}

TEST(LcdhostLcdproc, ShowsTheSecondPageAndTheEndOfALongLineOnARealLcdd) {
    Lcdd lcdd("16x2");
    if (!lcdd.skip.empty()) TESS_SKIP(lcdd.skip);
    ASSERT_TRUE(lcdd.listening);
    fakes::FakeCatalog catalog;
    host::PanelConfig config;
    config.lcdproc = "127.0.0.1:" + std::to_string(lcdd.port);
    // Two pages of 2 s each. The marquee moves 8 characters a second round 19 + 8 cells (LCDd's
    // clock sets where it starts): its end shows for 1.75 s of every 3.4 s, so within 2 s.
    const std::vector<std::string> lines = {"first", "0123456789abcdefXYZ", "second page"};
    config.screens = {{"tall", 2, host::Priority::kForeground, lines}};
    config.longLines.speed = 8;
    std::ostringstream err;
    int status = -1;
    std::thread run([&] { status = host::RunScreens(config, catalog, {}, err); });
    std::this_thread::sleep_for(4s);
    kill(getpid(), SIGTERM);
    run.join();
    EXPECT_EQ(status, 0) << err.str();
    lcdd.server->Stop(SIGTERM, 5s);
    const std::string frames = lcdd.server->out();
    EXPECT_NE(frames.find("|second page     |"), std::string::npos) << frames;
    EXPECT_NE(frames.find("0123"), std::string::npos) << frames;
    EXPECT_NE(frames.find("defXYZ"), std::string::npos) << "the end of the long line\n" << frames;
}

// 127.0.0.1:`port` as a resolver gives it.
host::SocketAddress Loopback(int port) {
    const sockaddr_in address = LoopbackAddress(port);
    return host::MakeSocketAddress(reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

// A socket to "localhost:13666" that the resolver answers with `addresses`.
std::unique_ptr<host::StreamSocket> Link(std::vector<host::SocketAddress> addresses) {
    return std::make_unique<host::StreamSocket>(
        "localhost", "13666",
        [addresses](const std::string& host, const std::string& port,
                    std::vector<host::SocketAddress>* out, std::string*) {
            EXPECT_EQ(host + ":" + port, "localhost:13666");
            *out = addresses;
            return true;
        });
}

// Waits up to a second for the connection under way, then tells the socket how it went.
bool Step(host::StreamSocket& link, std::int64_t now, std::string* error) {
    pollfd p{link.fd(), POLLOUT, 0};
    return link.Continue(now, poll(&p, 1, 1000) == 1, error);
}

TEST(StreamSocket, TriesEveryAddressInTurnEachForItsTime) {
    // The first address takes no connection (its listener's queue is full), the second refuses
    // it, the third takes it.
    int fullPort = 0, openPort = 0;
    const int full = Listen(&fullPort, 0);
    const int filler = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in first = LoopbackAddress(fullPort);
    ASSERT_EQ(connect(filler, reinterpret_cast<sockaddr*>(&first), sizeof first), 0);
    const int refusing = FreePort();
    const int listener = Listen(&openPort);
    auto link = Link({Loopback(fullPort), Loopback(refusing), Loopback(openPort)});

    std::string error;
    ASSERT_TRUE(link->Connect(0, &error)) << error;
    ASSERT_TRUE(link->connecting());
    EXPECT_EQ(link->AttemptDeadline(), host::StreamSocket::kAttemptMilliseconds);
    pollfd p{link->fd(), POLLOUT, 0};
    EXPECT_EQ(poll(&p, 1, 300), 0) << "the first address takes no connection";
    ASSERT_TRUE(link->Continue(1999, false, &error)) << error;
    EXPECT_TRUE(link->connecting()) << "the first address has its whole time";
    ASSERT_TRUE(link->Continue(2000, false, &error)) << error;
    for (int k = 0; k < 3 && link->connecting(); ++k)
        ASSERT_TRUE(Step(*link, 2000, &error)) << error;
    EXPECT_TRUE(link->open());
    const int accepted = Accept(listener, 1s);
    EXPECT_GE(accepted, 0) << "the third address took the connection";
    for (int fd : {full, filler, listener, accepted}) close(fd);
}

TEST(StreamSocket, NamesEveryAddressTriedWhenNoneTakesTheConnection) {
    const int first = FreePort(), second = FreePort();
    auto link = Link({Loopback(first), Loopback(second)});
    std::string error;
    bool going = link->Connect(0, &error);
    while (going && link->connecting()) going = Step(*link, 0, &error);
    EXPECT_FALSE(going);
    EXPECT_EQ(error, "127.0.0.1:" + std::to_string(first) + ": Connection refused; 127.0.0.1:" +
                         std::to_string(second) + ": Connection refused");
    EXPECT_FALSE(link->open());
}

}  // namespace
