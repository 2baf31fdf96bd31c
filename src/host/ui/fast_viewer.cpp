#include "host/ui/fast_viewer.h"

#include <exception>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <QTreeWidget>

#include "host/get_part.h"
#include "host/preferences.h"
#include "host/script_error.h"
#include "host/ui/tree_nodes.h"
#include "imaging/ui/imaging_control.h"
#include "plans/saved_plans.h"

namespace sw::host {

FastViewer::FastViewer(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FastViewer"));
    setFocusPolicy(Qt::StrongFocus);
    localPlansShown = false;
    planListShown = false;
    iniPath = settingsIniPath();
    createControls();
    connect(qApp, &QApplication::focusChanged, this, &FastViewer::onFocusChanged);
    arrangeControls();
    update();
}

FastViewer::~FastViewer() {
    viewer->setShutdownSwitch(false);
}

namespace {

QTreeWidget* makePopupTree(QWidget* parent, const QString& name) {
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(name);
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->hide();
    return tree;
}

}  // namespace

void FastViewer::createControls() {
    viewer = new imaging::ImagingControl(this);
    viewer->setObjectName(QStringLiteral("viewer"));
    v2 = new imaging::ImagingControl(this);
    v2->setObjectName(QStringLiteral("v2"));
    v2->hide();

    status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("status"));
    status->setSizeGripEnabled(false);
    for (int i = 0; i < kStatusPanels; ++i) {
        m_panels[i] = new QLabel(status);
        m_panels[i]->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        status->addWidget(m_panels[i], i == 0 ? 1 : 0);
    }

    pmn = makePopupTree(this, QStringLiteral("pmn"));
    pmn->installEventFilter(this);
    connect(pmn, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { openPlanFromTree(item); });
    LocalPlans = makePopupTree(this, QStringLiteral("LocalPlans"));
    LocalPlans->installEventFilter(this);
}

void FastViewer::arrangeControls() {
    const int statusHeight = status->sizeHint().height();
    status->setGeometry(0, height() - statusHeight, width(), statusHeight);
    viewer->setGeometry(0, 0, width(), std::max(0, height() - statusHeight));
    const QRect popup(0, 0, std::min(width(), 320), std::max(0, height() - statusHeight));
    pmn->setGeometry(popup);
    LocalPlans->setGeometry(popup);
}

void FastViewer::resizeEvent(QResizeEvent* /*event*/) {
    arrangeControls();
}

bool FastViewer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && (watched == pmn || watched == LocalPlans)) {
        static_cast<QWidget*>(watched)->hide();
    }
    return QWidget::eventFilter(watched, event);
}

// GotFocus: focus entering the control (itself or a child) from outside re-reads the plan folder.
void FastViewer::onFocusChanged(QWidget* old, QWidget* now) {
    const bool inside = now != nullptr && (now == this || isAncestorOf(now));
    const bool wasInside = old != nullptr && (old == this || isAncestorOf(old));
    if (inside && !wasInside) {
        try {
            ResetRoot();
        } catch (const std::exception&) {
            // A focus change has no caller to report to.
        }
    }
}

void FastViewer::SetImage(QString Path, QString /*pName*/) {
    viewer->setLoadSwitch(true);
    viewer->setLoadAddress(planUrl + Path);
    setPanelText(1, Path);
}

void FastViewer::SetFirstImage(QString Path, QString pName) {
    viewer->setLoadSwitch(true);
    setPanelText(1, Path);
    currentPlanName = pName;
    viewer->setLoadAddress(planUrl + Path);
}

void FastViewer::MakePlanList(QString& parsedList) {
    pmn->clear();
    std::vector<plans::TreeNode> nodes;
    try {
        ProjectState::MakePlanList(parsedList, nodes);
    } catch (...) {
        appendTreeNodes(*pmn, nodes);
        throw;
    }
    appendTreeNodes(*pmn, nodes);
}

void FastViewer::InitVars(QString& planURL, QString& projID, QString& projName, qint32& Rotation,
                          QString& site) {
    ProjectState::InitVars(planURL, projID, projName, Rotation, site);
    panning = false;
    suppressClickZoom = false;
}

QString FastViewer::GetPart(QString& startStrg, QString& delimiter) {
    return host::GetPart(startStrg, delimiter);
}

QString FastViewer::panelText(int panel) const {
    return panel >= 1 && panel <= kStatusPanels ? m_panels[panel - 1]->text() : QString();
}

void FastViewer::setPanelText(int panel, const QString& text) {
    if (panel >= 1 && panel <= kStatusPanels) {
        m_panels[panel - 1]->setText(text);
    }
}

void FastViewer::FillSavedPlans() {
    try {
        ResetRoot();
    } catch (const std::exception&) {
        // A failing step is skipped; the tree is built from the folder known so far.
    }
    const plans::SavedPlans saved = plans::FillSavedPlans(planDirectory);
    savedFolders = saved.savedFolders;
    LocalPlans->clear();
    appendTreeNodes(*LocalPlans, saved.nodes);
}

void FastViewer::openPlanFromTree(QTreeWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    try {
        const int found = planIndexForKey(treeItemKey(*item));
        if (found >= 0) {
            pmn->hide();
            SetImage(planFiles.at(found), QString());
        }
    } catch (const std::exception& error) {
        showMessage(QString::fromUtf8(error.what()));
    }
}

void FastViewer::setMessageSink(MessageSink sink) {
    m_messageSink = std::move(sink);
}

void FastViewer::showMessage(const QString& text) {
    messagesShown.append(text);
    if (messagesShown.size() > kMessagesKept) {
        messagesShown.removeFirst();
    }
    if (m_messageSink) {
        m_messageSink(text);
        return;
    }
    QMessageBox::information(this, QStringLiteral("Sheetwise"), text);
}

}  // namespace sw::host
