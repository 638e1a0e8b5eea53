#include "eventarchivedialog.h"

#include "archivejson.h"
#include "eventarchive.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QJsonDocument>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int pathRole = Qt::UserRole;

QString indented(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)).trimmed();
}

} // namespace

EventArchiveDialog::EventArchiveDialog(const QString &folder, QWidget *parent)
    : QDialog(parent)
    , m_folder(folder)
{
    setObjectName(QStringLiteral("eventArchiveDialog"));
    setWindowTitle(tr("Anomaly event archive"));
    resize(1050, 650);

    auto *folderLabel = new QLabel(QDir::toNativeSeparators(folder), this);
    folderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_table = new QTableWidget(0, 7, this);
    m_table->setObjectName(QStringLiteral("eventArchiveTable"));
    m_table->setHorizontalHeaderLabels({tr("UTC trigger"), tr("RF (Hz)"), tr("Mode"), tr("Type"),
                                        tr("Duration (s)"), tr("Review"), tr("WAV file")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSortingEnabled(false);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setStretchLastSection(true);

    m_details = new QPlainTextEdit(this);
    m_details->setObjectName(QStringLiteral("eventArchiveDetails"));
    m_details->setReadOnly(true);
    m_details->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_table);
    splitter->addWidget(m_details);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    const auto button = [this](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton *refreshButton = button("eventArchiveRefresh", tr("Refresh"));
    m_selectForDsp = button("eventArchiveSelectForDsp", tr("Select for DSP"));
    m_selectAndReplay = button("eventArchiveSelectAndReplay", tr("Select and replay"));
    m_review = button("eventArchiveReview", tr("Review..."));
    QPushButton *closeButton = button("eventArchiveClose", tr("Close"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("eventArchiveStatus"));

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {refreshButton, m_selectForDsp, m_selectAndReplay, m_review})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(folderLabel);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_status);

    connect(m_table, &QTableWidget::itemSelectionChanged, this, &EventArchiveDialog::showSelected);
    connect(refreshButton, &QPushButton::clicked, this, &EventArchiveDialog::refresh);
    connect(m_selectForDsp, &QPushButton::clicked, this, &EventArchiveDialog::selectForDsp);
    connect(m_selectAndReplay, &QPushButton::clicked, this, &EventArchiveDialog::selectAndReplay);
    connect(m_review, &QPushButton::clicked, this, &EventArchiveDialog::review);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    refresh();
}

QString EventArchiveDialog::detailsText() const
{
    return m_details->toPlainText();
}

QString EventArchiveDialog::statusText() const
{
    return m_status->text();
}

QString EventArchiveDialog::selectedPath() const
{
    const QList<QTableWidgetItem *> selected = m_table->selectedItems();
    return selected.isEmpty()
               ? QString()
               : m_table->item(selected.first()->row(), 0)->data(pathRole).toString();
}

void EventArchiveDialog::refresh()
{
    const QString remembered = selectedPath();
    const QVector<ArchivedEvent> events = EventArchive::list(m_folder);
    const QSignalBlocker quiet(m_table);
    m_table->clearContents();
    m_table->setRowCount(events.size());
    int reselect = 0;
    for (int row = 0; row < events.size(); ++row) {
        const QStringList columns = EventArchive::columns(events[row]);
        for (int column = 0; column < columns.size(); ++column)
            m_table->setItem(row, column, new QTableWidgetItem(columns[column]));
        m_table->item(row, 0)->setData(pathRole, events[row].path);
        if (events[row].path == remembered)
            reselect = row;
    }
    m_table->resizeColumnsToContents();
    if (!events.isEmpty())
        m_table->selectRow(reselect);
    m_status->setText(tr("%1 WAV files | original files are never modified").arg(events.size()));
    showSelected();
}

void EventArchiveDialog::showSelected()
{
    const QString path = selectedPath();
    const bool exists = !path.isEmpty() && QFileInfo(path).isFile();
    for (QPushButton *b : {m_selectForDsp, m_selectAndReplay, m_review})
        b->setEnabled(exists);
    if (path.isEmpty()) {
        m_details->clear();
        return;
    }
    const QJsonObject event = ArchiveJson::readObject(ArchiveJson::sidecarPath(path));
    const QJsonObject review = ArchiveJson::readObject(ArchiveJson::reviewPath(path));
    m_details->setPlainText(
        (event.isEmpty() ? tr("Missing or invalid event JSON") : indented(event)) +
        QLatin1Char('\n') + tr("Manual review: ") +
        (review.isEmpty() ? QStringLiteral("{}") : indented(review)));
}

void EventArchiveDialog::selectForDsp()
{
    const QString path = selectedPath();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    emit wavSelected(QDir::toNativeSeparators(path));
    accept();
}

void EventArchiveDialog::selectAndReplay()
{
    const QString path = selectedPath();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    selectForDsp();
    emit replayRequested(path);
}

void EventArchiveDialog::review()
{
    const QString path = selectedPath();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    const QJsonObject stored = ArchiveJson::readObject(ArchiveJson::reviewPath(path));
    const QStringList names{tr("Unreviewed"), tr("Interesting"), tr("False alarm"),
                            tr("Known signal"), tr("Unknown")};
    const ReviewLabel current =
        stored.isEmpty() ? ReviewLabel::Unreviewed : EventArchive::labelOf(stored);
    bool ok = false;
    const QString name = QInputDialog::getItem(this, tr("Manual review"), tr("Label"), names,
                                               static_cast<int>(current), false, &ok);
    if (!ok)
        return;
    const QString notes =
        QInputDialog::getMultiLineText(this, tr("Review notes"), tr("Notes"),
                                       stored.value(QLatin1String("notes")).toString(), &ok);
    if (!ok)
        return;
    const auto label = static_cast<ReviewLabel>(std::max(0, names.indexOf(name)));
    if (!EventArchive::writeReview(path, label, notes, QDateTime::currentDateTimeUtc()))
        QMessageBox::warning(this, tr("Review"), tr("Cannot save review"));
    refresh();
}
