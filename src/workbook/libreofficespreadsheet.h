#pragma once

#include <QString>

#include <memory>

#include "platform/spreadsheet.h"
#include "workbook/officeinstallation.h"
#include "workbook/responsivewait.h"

namespace tsumiki {

class OfficeConnection;

struct LibreOfficeSettings {
    QString program = QStringLiteral(TSUMIKI_OFFICE_PROGRAM_DIR "/soffice");
    // A profile of our own, so that an office the user already has open is neither disturbed nor asked to do our
    // work.
    QString profileFolder;
    // With someone at the screen the saved workbooks stay open in a window; without, everything is headless.
    bool showWorkbooks = false;
    // An office's start and its first workbook read libraries and a fresh profile from disk: on a busy two-core
    // machine that took 11 to 14 seconds, and an old shop PC with a cold disk takes several times that. Every later
    // call is quick. An office past its bound is taken for hung and ended.
    int firstUseMilliseconds = 180000;
    int callMilliseconds = 30000;
    // Null: the steady clock.
    std::shared_ptr<CallTimer> callTimer = nullptr;
};

// Calc as the spreadsheet program: started on the first workbook, not with the program, and kept for the next. An
// office that an earlier run left running on the same profile, with the workbooks it showed, is joined instead.
// Screens keep handling their events while the office works; a call that does not return in time ends the office, and
// the call reports it.
class LibreOfficeSpreadsheet final : public Spreadsheet {
public:
    explicit LibreOfficeSpreadsheet(LibreOfficeSettings settings);
    ~LibreOfficeSpreadsheet() override;

    std::unique_ptr<Workbook> open(const QString& path, const QString& password) override;
    bool isInUse(const QString& path) override;
    QString errorString() const override { return error_; }

    // The office process we talk to, or -1.
    qint64 processId() const;
    // Ends the office (closing what it holds when it can). The next workbook starts it again.
    void shutDown();

    static bool isInstalled(const LibreOfficeSettings& settings);
    // Under the user's cache folder.
    static QString defaultProfileFolder();

private:
    bool ensureRunning();

    LibreOfficeSettings settings_;
    std::shared_ptr<OfficeConnection> office_;
    QString error_;
};

}  // namespace tsumiki
