#include "app/Messages.h"

#include <cstdio>
#include <exception>
#include <stdexcept>

#include <QMessageBox>

#include "app/AppInfo.h"

namespace qx {

namespace {

bool quiet = false;
int reported = 0;

} // namespace

void TMessages::SetQuiet(bool on) { quiet = on; }
bool TMessages::Quiet() { return quiet; }

void TMessages::Show(QWidget* parent, const QString& text) {
    if (quiet) {
        std::fprintf(stderr, "quorvex: %s\n", qPrintable(text));
        return;
    }
    QMessageBox box(QMessageBox::Information, app::Title, text, QMessageBox::Ok, parent);
    box.exec();
}

void TMessages::ShowError(QWidget* parent, const QString& text) {
    if (quiet) {
        std::fprintf(stderr, "quorvex: %s\n", qPrintable(text));
        return;
    }
    QMessageBox box(QMessageBox::Critical, app::Title, text, QMessageBox::Ok, parent);
    box.exec();
}

QString TErrorHandler::MessageFor(const QString& what) { return "An internal error occured: " + what; }

void TErrorHandler::Report(const QString& what) {
    ++reported;
    TMessages::ShowError(nullptr, MessageFor(what));
}

void TErrorHandler::ReportCurrentException() {
    try {
        throw;
    } catch (const std::exception& e) {
        Report(QString::fromUtf8(e.what()));
    } catch (...) {
        Report("unknown error");
    }
}

int TErrorHandler::Reported() { return reported; }

} // namespace qx
