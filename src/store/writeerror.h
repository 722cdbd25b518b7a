#pragma once

#include <QString>

#include <exception>
#include <optional>

namespace tsumiki {

// Why a write to a healthy data folder did not happen this time. Nothing was written; the screen shows the
// message and the person can try again. A broken data folder is a StoreError instead, and ends the program.
struct WriteError {
    enum class Kind {
        // Another screen or copy of the program holds the table's lock longer than the wait allows.
        Busy,
        // The system refused the write: full disk, no permission, read-only folder …
        Failed,
        // What would be written would not read back as written; the file was left alone.
        WouldNotReadBack,
    };
    Kind kind = Kind::Failed;
    QString message;
};

// No value: written.
using WriteResult = std::optional<WriteError>;

// Carries a WriteError out of the store's inner steps to the call that hands it back as a value. Never leaves
// the store.
class WriteRefused : public std::exception {
public:
    explicit WriteRefused(WriteError error) : error_(std::move(error)) {}
    const WriteError& error() const { return error_; }
    const char* what() const noexcept override { return "write refused"; }

private:
    WriteError error_;
};

}  // namespace tsumiki
