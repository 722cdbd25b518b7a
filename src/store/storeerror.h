#pragma once

#include <QString>

#include <exception>
#include <string>

namespace tsumiki {

// A failure of the table files (missing folder or file, unreadable, not code page 932, unwritable). It carries
// a message in Japanese that names the file. Only the program's error boundary catches it.
class StoreError : public std::exception {
public:
    explicit StoreError(QString message) : message_(std::move(message)), utf8_(message_.toStdString()) {}
    const QString& message() const { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    QString message_;
    std::string utf8_;
};

// A value that code page 932 cannot carry; nothing was written. Raised before any byte reaches the file, so a
// screen may catch it and let the user correct the text.
class UnencodableTextError : public StoreError {
public:
    UnencodableTextError(QString message, QString character)
        : StoreError(std::move(message)), character_(std::move(character)) {}
    const QString& character() const { return character_; }

private:
    QString character_;
};

}  // namespace tsumiki
