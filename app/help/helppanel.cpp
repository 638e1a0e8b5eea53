#include "helppanel.h"

#include "documentviewer.h"
#include "helpdocuments.h"
#include "languageselector.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

HelpPanel::HelpPanel(QSettings &settings, QWidget *parent)
    : QWidget(parent)
    , m_language(new LanguageSelector(settings, this))
    , m_programHelp(new QPushButton(tr("Program help"), this))
    , m_license(new QPushButton(tr("Freeware license"), this))
{
    m_programHelp->setObjectName(QStringLiteral("programHelpPB"));
    m_license->setObjectName(QStringLiteral("licensePB"));
    connect(m_programHelp, &QPushButton::clicked, this, [this] {
        showDocument(HelpDocuments::programHelpPath(), HelpDocuments::programHelpTitle());
    });
    connect(m_license, &QPushButton::clicked, this,
            [this] { showDocument(HelpDocuments::licensePath(), HelpDocuments::licenseTitle()); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_programHelp);
    buttons->addWidget(m_license);
    buttons->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_language);
    layout->addLayout(buttons);
}

void HelpPanel::showDocument(const QString &resourcePath, const QString &title)
{
    QString message;
    if (!DocumentViewer::showDocument(this, resourcePath, title, &message))
        emit errorOccurred(message);
}
