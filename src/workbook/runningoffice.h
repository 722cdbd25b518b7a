#pragma once

#include <QString>

#include <sys/types.h>

#include <optional>

// Which office process on this machine runs on a given user profile. A profile admits one office at a time: a second
// one started on it hands its command line to the first and ends.
namespace tsumiki {

struct RunningOffice {
    pid_t pid = -1;
    // Where it takes connections ("uno:pipe,name=…;urp;StarOffice.ComponentContext"); empty when it takes none.
    QString connectUrl;
};

// An office process started without a profile of its own uses the default one under ~/.config.
std::optional<RunningOffice> findOfficeUsing(const QString& profileUrl);

// Whether two profile addresses name the same folder, however each was encoded.
bool isSameProfile(const QString& a, const QString& b);

}  // namespace tsumiki
