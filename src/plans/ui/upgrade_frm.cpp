#include "plans/ui/upgrade_frm.h"

#include <QGridLayout>
#include <QLabel>

#include "plans/ui/dialog_art.h"

namespace sw::plans {

namespace {

constexpr int kLogoSize = 96;  // logical pixels

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

UpgradeFrm::UpgradeFrm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("UpgradeFrm"));
    setWindowTitle(QStringLiteral("About Sheetwise"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    Picture1 = makeLabel(this, QStringLiteral("Picture1"), QString());
    Picture1->setPixmap(sheetwiseLogo(kLogoSize, devicePixelRatioF()));
    Picture1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblTitle = makeLabel(this, QStringLiteral("lblTitle"), QStringLiteral("Sheetwise"));
    QFont title = lblTitle->font();
    title.setPointSizeF(title.pointSizeF() * 2.0);
    title.setBold(true);
    lblTitle->setFont(title);

    version = makeLabel(this, QStringLiteral("version"), buildVersionText());
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);

    lblProOnly = makeLabel(this, QStringLiteral("lblProOnly"), QLatin1String(kProOnlyText));
    lblProOnly->setWordWrap(true);
    lblProOnly->setFixedWidth(280);

    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(20, 20, 24, 24);
    layout->setHorizontalSpacing(20);
    layout->addWidget(Picture1, 0, 0, 3, 1);
    layout->addWidget(lblTitle, 0, 1);
    layout->addWidget(version, 1, 1);
    layout->addWidget(lblProOnly, 2, 1);
    layout->setRowMinimumHeight(2, 60);
}

UpgradeFrm::~UpgradeFrm() = default;

QString UpgradeFrm::versionText(int major, int minor, int revision) {
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString UpgradeFrm::buildVersionText() {
    return versionText(SW_VERSION_MAJOR, SW_VERSION_MINOR, SW_VERSION_PATCH);
}

}  // namespace sw::plans
