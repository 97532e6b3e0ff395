#include "host/live/lcdproc_session.h"

#include <algorithm>
#include <limits>

namespace host {

LcdprocSession::LcdprocSession(std::string where, Rows rows)
    : where_(std::move(where)),
      rows_([rows = std::move(rows)](std::size_t, std::size_t, int width, int height) {
          return rows(width, height);
      }) {}

LcdprocSession::LcdprocSession(std::string where, std::vector<ScreenConfig> screens, PageRows rows,
                               LongLineSettings longLines)
    : where_(std::move(where)), rows_(std::move(rows)) {
    client_.SetScreens(std::move(screens));
    client_.SetLongLines(longLines);
}

LcdprocSession::Actions LcdprocSession::Start(std::int64_t now) {
    return Connect(now);
}

LcdprocSession::Actions LcdprocSession::Connect(std::int64_t now) {
    state_ = State::kConnecting;
    deadline_ = now + kAnswerMilliseconds;
    Actions actions;
    actions.connect = true;
    return actions;
}

LcdprocSession::Actions LcdprocSession::Connected(std::int64_t) {
    state_ = State::kGreeting;
    Actions actions;
    actions.send = client_.Start();
    actions.shownChanged = client_.TakeShownChanged();
    return actions;
}

LcdprocSession::Actions LcdprocSession::ConnectFailed(std::int64_t now, const std::string& error) {
    return Fail(now, "cannot reach", error);
}

LcdprocSession::Actions LcdprocSession::Lost(std::int64_t now, const std::string& error) {
    return Fail(now, "cannot talk to", error);
}

LcdprocSession::Actions LcdprocSession::Fail(std::int64_t now, const char* what,
                                             const std::string& error) {
    Actions actions;
    if (!everReady_) {
        actions.log.push_back(std::string(what) + " LCDd at " + where_ + ": " + error);
        actions.exit = 1;
        return actions;
    }
    actions.close = true;
    if (!lost_) actions.log.push_back("lost LCDd at " + where_ + " (" + error + "); reconnecting");
    lost_ = true;
    state_ = State::kWaiting;
    retryAt_ = now + backoff_;
    backoff_ = std::min(backoff_ * 2, kMaxBackoff);
    return actions;
}

LcdprocSession::Actions LcdprocSession::Received(std::string_view bytes) {
    Actions actions;
    if (state_ != State::kGreeting && state_ != State::kReady) return actions;
    actions.send = client_.Receive(bytes);
    actions.log = client_.TakeErrors();
    actions.shownChanged = client_.TakeShownChanged();
    if (state_ == State::kGreeting && client_.ready()) {
        if (lost_) actions.log.push_back("reconnected to LCDd at " + where_);
        state_ = State::kReady;
        everReady_ = true;
        lost_ = false;
        backoff_ = kFirstBackoff;
        Update(&actions);
    } else if (state_ == State::kReady && actions.shownChanged) {
        // A page LCDd now shows gets its current rows at once.
        Update(&actions);
    }
    return actions;
}

LcdprocSession::Actions LcdprocSession::PanelChanged() {
    Actions actions;
    if (state_ == State::kReady) Update(&actions);
    return actions;
}

LcdprocSession::Actions LcdprocSession::ScreensChanged(std::vector<ScreenConfig> screens,
                                                       LongLineSettings longLines) {
    Actions actions;
    client_.SetLongLines(longLines);
    actions.send = client_.SetScreens(std::move(screens));
    actions.shownChanged = client_.TakeShownChanged();
    if (state_ == State::kReady) Update(&actions);
    return actions;
}

void LcdprocSession::Update(Actions* actions) {
    for (std::size_t k = 0; k < client_.screens(); ++k)
        for (std::size_t page = 0; page < client_.pages(k); ++page)
            if (client_.shown(k, page))
                actions->send +=
                    client_.Update(k, page, rows_(k, page, client_.width(), client_.height()));
}

std::optional<std::vector<PageRef>> LcdprocSession::Shown() const {
    if (!client_.noticed()) return std::nullopt;
    std::vector<PageRef> shown;
    for (std::size_t k = 0; k < client_.screens(); ++k)
        for (std::size_t page = 0; page < client_.pages(k); ++page)
            if (client_.shown(k, page)) shown.push_back({k, page});
    return shown;
}

LcdprocSession::Actions LcdprocSession::Tick(std::int64_t now) {
    const std::string within = " within " + std::to_string(kAnswerMilliseconds / 1000) + " s";
    if (state_ == State::kWaiting && now >= retryAt_) return Connect(now);
    if (state_ == State::kConnecting && now >= deadline_)
        return Fail(now, "cannot reach", "no connection" + within);
    if (state_ == State::kGreeting && now >= deadline_)
        return Fail(now, "cannot talk to", "no answer to hello" + within);
    return {};
}

std::int64_t LcdprocSession::Wakeup() const {
    switch (state_) {
        case State::kWaiting:
            return retryAt_;
        case State::kConnecting:
        case State::kGreeting:
            return deadline_;
        case State::kReady:
            break;
    }
    return std::numeric_limits<std::int64_t>::max();
}

}  // namespace host
