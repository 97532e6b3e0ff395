// The locale's date formatter: a picture such as "dd-MMM-yy" filled from a date.
#pragma once

#include "platform/local_time.h"

namespace platform {

// Picture letters: d (day of the month), dd (two digits), ddd (abbreviated weekday name),
// dddd or more (full weekday name), M, MM (two digits), MMM (abbreviated month name), MMMM or
// more (full month name), y (year within the century), yy (two digits), yyyy (four digits).
// Text between single quotes is copied as it stands ('' is a quote); any other character is
// copied unchanged. Names come from the locale, in the system's narrow code page.
class DateFormatter {
  public:
    // Writes the text and a terminating NUL into `buffer` (room for `capacity` narrow
    // characters) and returns the number written, NUL included. Returns 0 for an invalid date
    // or when the text does not fit. A capacity of 0 asks only for the size needed.
    virtual int Format(const char* picture, const SystemTime& date, char* buffer,
                       int capacity) const = 0;

  protected:
    ~DateFormatter() = default;
};

// The formatter of the user's default locale.
const DateFormatter& UserDateFormatter();

}  // namespace platform
