#include "compare/ui/earlier_chooser.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace sw::compare {

namespace {

constexpr int kAddressRole = Qt::UserRole;

void addGroup(QTreeWidget& tree, const QString& title, const QList<EarlierSheet>& sheets) {
    auto* group = new QTreeWidgetItem(&tree, {title});
    group->setFlags(Qt::ItemIsEnabled);
    for (const EarlierSheet& sheet : sheets) {
        auto* item = new QTreeWidgetItem(group, {sheet.label});
        item->setData(0, kAddressRole, sheet.address);
        item->setToolTip(0, sheet.address);
    }
    group->setExpanded(true);
}

}  // namespace

EarlierChooser::EarlierChooser(const QList<EarlierSheet>& projectSheets,
                               const QList<EarlierSheet>& saved, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CompareWith"));
    setWindowTitle(QStringLiteral("Compare with an earlier revision"));
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("The sheet on screen is the new revision. Choose the earlier one:"), this));
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("sheets"));
    m_tree->setHeaderHidden(true);
    addGroup(*m_tree, QStringLiteral("Sheets of the project"), projectSheets);
    addGroup(*m_tree, QStringLiteral("Saved plans"), saved);
    layout->addWidget(m_tree);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* compare =
        buttons->addButton(QStringLiteral("Compare"), QDialogButtonBox::AcceptRole);
    compare->setObjectName(QStringLiteral("compare"));
    compare->setEnabled(false);
    QPushButton* file = buttons->addButton(QStringLiteral("File..."), QDialogButtonBox::ActionRole);
    file->setObjectName(QStringLiteral("file"));
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cancel"));
    layout->addWidget(buttons);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [compare](QTreeWidgetItem* item) {
        compare->setEnabled(item != nullptr && item->parent() != nullptr);
    });
    // A double-click may come as both signals; choose() acts once.
    connect(m_tree, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { choose(item); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { choose(item); });
    connect(compare, &QPushButton::clicked, this, [this] { choose(m_tree->currentItem()); });
    connect(file, &QPushButton::clicked, this, &EarlierChooser::chooseFile);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(420, 460);
}

void EarlierChooser::choose(const QTreeWidgetItem* item) {
    if (item == nullptr || item->parent() == nullptr || m_done) {
        return;
    }
    m_done = true;
    emit chosen({item->text(0), item->data(0, kAddressRole).toString()});
    accept();
}

void EarlierChooser::chooseFile() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Earlier revision"), QString(),
        QStringLiteral("TIFF sheets (*.tif *.tiff *.TIF *.TIFF);;All files (*)"));
    if (path.isEmpty() || m_done) {
        return;
    }
    m_done = true;
    emit chosen({QFileInfo(path).fileName(), path});
    accept();
}

}  // namespace sw::compare
