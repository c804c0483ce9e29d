#include "ColorFileSaver.h"

#include <QTimer>

#include "SaveColorPhrasing.h"
#include "core/ManagePhrasing.h"
#include "gui/widgets/MessageBox.h"

ColorFileSaver::ColorFileSaver(ManagePhrasing* set) : QObject(set), m_set(set) {}

ColorFileSaver::~ColorFileSaver() {
    deleteSaveColorPhrasing();
}

void ColorFileSaver::open(ModelGraph::EnumGraph deck) {
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    m_dialog = new SaveColorPhrasing(deck);
    connect(m_dialog, &SaveColorPhrasing::s_filename, this, &ColorFileSaver::createQLPXMLFromDlg);
    connect(m_dialog, &QDialog::finished, this, &ColorFileSaver::deleteSaveColorPhrasing);
}

void ColorFileSaver::deleteSaveColorPhrasing() {
    if (!m_dialog)
        return;
    m_dialog->hide();
    m_dialog->deleteLater();
    m_dialog = nullptr;
}

void ColorFileSaver::createQLPXMLFromDlg(const QString& name) {
    if (m_dialog)
        m_dialog->accept();
    const ManagePhrasing::SaveStatus status = m_set->createQLPXML(ManagePhrasing::colorFilePath(name), true);
    // The box runs its own event loop, which may release the dialog whose button got us here: it is
    // shown once that button's handling is over.
    QTimer::singleShot(0, this, [status] {
        switch (status) {
        case ManagePhrasing::SaveStatus::Created:
            MessageBox::confirmation(
                QStringLiteral("New file has been created and loaded into color tab !!"));
            break;
        case ManagePhrasing::SaveStatus::AlreadyExists:
            MessageBox::information(QStringLiteral("File already imported !"));
            break;
        case ManagePhrasing::SaveStatus::InvalidSet:
            MessageBox::information(QStringLiteral("Non-compliant file !"));
            break;
        case ManagePhrasing::SaveStatus::WriteFailed:
            MessageBox::information(QStringLiteral("File could not be written !"));
            break;
        }
    });
}
