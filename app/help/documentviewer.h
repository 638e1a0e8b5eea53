#pragma once

#include <QDialog>

class CorvinHost;
class QTextBrowser;

// Non-modal viewer of an embedded document (user guide, DSP help, licence). Owned by the
// owner's top-level window and deleted when closed; several may be open at once.
// GUI thread only.
class DocumentViewer : public QDialog
{
    Q_OBJECT

public:
    // Opens the resource and shows it in a new viewer titled `title`. A path ending in
    // ".html" is shown as a page whose relative links (style sheet, anchors, sibling
    // folders) resolve inside the resources; anything else as UTF-8 plain text followed by
    // a blank line and the library notices (when present). When the resource cannot be
    // opened no viewer is created, nullptr is returned and *errorMessage (when given) is set
    // to the translated "Could not open help or license: %1".
    static DocumentViewer *showDocument(QWidget *owner, const QString &resourcePath,
                                        const QString &title, QString *errorMessage);
    // The same, writing a failure to the host's log.
    static DocumentViewer *showDocument(QWidget *owner, const QString &resourcePath,
                                        const QString &title, CorvinHost &host);

    QTextBrowser *browser() const { return m_browser; }

private:
    DocumentViewer(QWidget *owner, const QString &title);

    QTextBrowser *m_browser;
};
