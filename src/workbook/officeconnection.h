#pragma once

#include <QString>

#include <com/sun/star/awt/XRequestCallback.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <functional>

#include "workbook/libreofficespreadsheet.h"
#include "workbook/officeprocess.h"
#include "workbook/responsivewait.h"

namespace tsumiki {

// What a step into the office touches. Windows belong to the office's main thread; a load makes one, and the first
// load of a freshly started office also reads most of the office from disk.
enum class OfficeStep { Document, Window, Load };

// One running office and the connection to it: one this program started, or one that an earlier run left running on
// the same profile with the workbooks it showed. That one is joined, never started a second time: a second office on a
// profile only hands its command line to the first and ends, which looked like an office that died half-way while
// the first opened the workbook a second time.
class OfficeConnection {
public:
    explicit OfficeConnection(const LibreOfficeSettings& settings);
    // Leaves the office running while it shows workbooks to the user; ends it otherwise.
    ~OfficeConnection();
    OfficeConnection(const OfficeConnection&) = delete;
    OfficeConnection& operator=(const OfficeConnection&) = delete;

    bool start(QString& error);
    bool alive();
    qint64 pid() const { return process_.pid(); }
    const QString& profileUrl() const { return profileUrl_; }
    const LibreOfficeSettings& settings() const { return settings_; }
    const com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2>& desktop() const { return desktop_; }

    // Runs one step against the office within its bound while the screens keep handling their events; false with a
    // Japanese error on any failure, headed by `what` when the step itself failed.
    bool call(QString& error, const QString& what, const std::function<void()>& step,
              OfficeStep kind = OfficeStep::Document);
    // Whether the office holds the document open; false when it could not be asked.
    bool hasDocument(const QString& path, QString& error, bool& found);
    // Closes what the office holds and ends it.
    void stop();

private:
    bool connect(const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>& local,
                 const QString& url, QString& error);
    bool hasVisibleDocuments();

    LibreOfficeSettings settings_;
    OfficeProcess process_;
    ResponsiveWait wait_;
    com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2> desktop_;
    com::sun::star::uno::Reference<com::sun::star::awt::XRequestCallback> mainThread_;
    QString profileUrl_;
    bool dead_ = false;
    // A screen handling its events while the office works can ask for another call; the office gets one at a time.
    bool busy_ = false;
    bool loadedOnce_ = false;
};

}  // namespace tsumiki
