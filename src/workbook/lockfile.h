#pragma once

#include <QString>

#include <optional>

// The lock file the office program keeps beside every document it has open: `.~lock.<name>#`. It survives a
// crash or a killed office, so its presence alone does not mean the document is open anywhere.
namespace tsumiki::lockfile {

QString pathFor(const QString& documentPath);

struct Owner {
    QString host;
    QString profileUrl;  // the user profile of the office instance that wrote it
};

// The owner named by the document's lock file; nothing when there is none or it cannot be read.
std::optional<Owner> read(const QString& documentPath);

QString localHostName();

}  // namespace tsumiki::lockfile
