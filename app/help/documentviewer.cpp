#include "documentviewer.h"

#include "corvinhost.h"
#include "helpdocuments.h"
#include "screenfit.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

DocumentViewer::DocumentViewer(QWidget *owner, const QString &title)
    : QDialog(owner ? owner->window() : nullptr)
    , m_browser(new QTextBrowser(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(title);
    m_browser->setOpenExternalLinks(true);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *close = buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addWidget(buttons);
}

DocumentViewer *DocumentViewer::showDocument(QWidget *owner, const QString &resourcePath,
                                             const QString &title, QString *errorMessage)
{
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorMessage) {
            *errorMessage = tr("Could not open help or license: %1").arg(file.errorString());
        }
        return nullptr;
    }

    auto *viewer = new DocumentViewer(owner, title);
    if (resourcePath.endsWith(QLatin1String(".html"), Qt::CaseSensitive)) {
        // Loading through a qrc URL (rather than the file's text) gives the page a base
        // for its relative links: the style sheet, anchors and "../help/guide.css".
        file.close();
        viewer->m_browser->setSource(QUrl(QStringLiteral("qrc") + resourcePath));
    } else {
        QString text = QString::fromUtf8(file.readAll());
        QFile notices(HelpDocuments::noticesPath());
        if (notices.open(QIODevice::ReadOnly))
            text += QStringLiteral("\n\n") + QString::fromUtf8(notices.readAll());
        viewer->m_browser->setPlainText(text);
    }

    fitWindowToScreen(viewer, QSize(800, 640));
    viewer->show();
    return viewer;
}

DocumentViewer *DocumentViewer::showDocument(QWidget *owner, const QString &resourcePath,
                                             const QString &title, CorvinHost &host)
{
    QString message;
    DocumentViewer *viewer = showDocument(owner, resourcePath, title, &message);
    if (!viewer)
        host.appendLog(message);
    return viewer;
}
