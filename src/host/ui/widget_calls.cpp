// Pseudo-calls that read and drive widgets as a user would, for tests and scripted demos. A
// control is named "Form/control": Form is the object name of a top-level widget or of the
// viewer (also when it sits inside a window), control the object name of a descendant widget or
// action, searched recursively. "Form" alone names the form itself. Set fails with the reason a
// control gives in its "inputError" property when it refuses the value.
#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include "base/script_error.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/standard_calls.h"
#include "host/ui/tree_nodes.h"
#include "viewing/ui/status_panels.h"

namespace sw::host {

namespace {

constexpr int kLongestWaitMs = 600000;

[[noreturn]] void fail(const QString& text) {
    throw base::ScriptError::custom(text);
}

QWidget* findForm(FastViewer& viewer, const QString& name) {
    if (viewer.objectName() == name) {
        return &viewer;
    }
    const QWidgetList topLevels = QApplication::topLevelWidgets();
    for (QWidget* top : topLevels) {
        if (top->objectName() == name) {
            return top;
        }
    }
    for (QWidget* top : topLevels) {
        if (auto* inner = top->findChild<QWidget*>(name)) {
            return inner;
        }
    }
    return nullptr;
}

QObject* findControl(FastViewer& viewer, const QString& path) {
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    const QString formName = slash < 0 ? path : path.left(slash);
    QWidget* form = findForm(viewer, formName);
    if (form == nullptr) {
        fail(QStringLiteral("No form named %1").arg(formName));
    }
    if (slash < 0) {
        return form;
    }
    const QString name = path.mid(slash + 1);
    if (auto* widget = form->findChild<QWidget*>(name)) {
        return widget;
    }
    if (auto* action = form->findChild<QAction*>(name)) {
        return action;
    }
    fail(QStringLiteral("No control named %1").arg(path));
}

QString controlPath(const QJsonArray& args) {
    if (args.isEmpty() || !args.at(0).isString()) {
        throw base::ScriptError(base::ScriptError::Code::ArgumentNotOptional);
    }
    return args.at(0).toString();
}

QJsonArray listItems(const QListWidget& list) {
    QJsonArray items;
    for (int i = 0; i < list.count(); ++i) {
        items.append(list.item(i)->text());
    }
    return items;
}

QJsonArray selectedRows(const QListWidget& list) {
    QJsonArray rows;
    for (int i = 0; i < list.count(); ++i) {
        if (list.item(i)->isSelected()) {
            rows.append(i);
        }
    }
    return rows;
}

void readWidget(const QWidget& w, QJsonObject& p) {
    p.insert("enabled", w.isEnabled());
    p.insert("visible", w.isVisible());
    if (auto* b = qobject_cast<const QAbstractButton*>(&w)) {
        p.insert("text", b->text());
        p.insert("checked", b->isChecked());
    } else if (auto* l = qobject_cast<const QLabel*>(&w)) {
        p.insert("text", l->text());
    } else if (auto* e = qobject_cast<const QLineEdit*>(&w)) {
        p.insert("text", e->text());
    } else if (auto* c = qobject_cast<const QComboBox*>(&w)) {
        QJsonArray items;
        for (int i = 0; i < c->count(); ++i) {
            items.append(c->itemText(i));
        }
        p.insert("text", c->currentText());
        p.insert("items", items);
        p.insert("selected", c->currentIndex());
    } else if (auto* lw = qobject_cast<const QListWidget*>(&w)) {
        p.insert("items", listItems(*lw));
        p.insert("selected", selectedRows(*lw));
    } else if (auto* t = qobject_cast<const QTreeWidget*>(&w)) {
        QJsonArray selected;
        for (const QTreeWidgetItem* item : t->selectedItems()) {
            selected.append(treeItemKey(*item));
        }
        p.insert("items", treeNodesJson(*t));
        p.insert("selected", selected);
    } else if (auto* panels = qobject_cast<const viewing::StatusPanels*>(&w)) {
        QJsonArray items;
        for (int i = 1; i <= viewing::StatusPanels::kPanels; ++i) {
            items.append(panels->panelText(i));
        }
        p.insert("items", items);
    } else if (auto* s = qobject_cast<const QStatusBar*>(&w)) {
        QJsonArray items;
        for (const QLabel* label : s->findChildren<QLabel*>()) {
            items.append(label->text());
        }
        p.insert("items", items);
    } else if (auto* g = qobject_cast<const QGroupBox*>(&w)) {
        p.insert("text", g->title());
        p.insert("checked", g->isCheckable() && g->isChecked());
    } else if (auto* pt = qobject_cast<const QPlainTextEdit*>(&w)) {
        p.insert("text", pt->toPlainText());
    } else if (auto* te = qobject_cast<const QTextEdit*>(&w)) {
        p.insert("text", te->toPlainText());
    } else if (auto* sl = qobject_cast<const QAbstractSlider*>(&w)) {
        p.insert("value", sl->value());
    } else if (auto* sb = qobject_cast<const QSpinBox*>(&w)) {
        p.insert("value", sb->value());
    } else if (auto* ds = qobject_cast<const QDoubleSpinBox*>(&w)) {
        p.insert("value", ds->value());
    } else if (auto* pb = qobject_cast<const QProgressBar*>(&w)) {
        p.insert("value", pb->value());
    } else if (w.isWindow()) {
        p.insert("text", w.windowTitle());
    }
}

base::CallReply get(FastViewer& viewer, const QJsonArray& args) {
    base::expectArgumentCount(args, 1, 1);
    QObject* control = findControl(viewer, controlPath(args));
    QJsonObject props;
    if (auto* action = qobject_cast<QAction*>(control)) {
        props = {{"text", action->text()},
                 {"checked", action->isChecked()},
                 {"enabled", action->isEnabled()},
                 {"visible", action->isVisible()}};
    } else {
        readWidget(*static_cast<QWidget*>(control), props);
    }
    return {{QStringLiteral("result"), props}};
}

void requireEnabled(const QWidget& widget, const QString& path) {
    if (!widget.isEnabled()) {
        fail(QStringLiteral("%1 is disabled").arg(path));
    }
}

base::CallReply click(FastViewer& viewer, const QJsonArray& args) {
    base::expectArgumentCount(args, 1, 1);
    const QString path = controlPath(args);
    QObject* control = findControl(viewer, path);
    if (auto* action = qobject_cast<QAction*>(control)) {
        if (!action->isEnabled()) {
            fail(QStringLiteral("%1 is disabled").arg(path));
        }
        action->trigger();
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        requireEnabled(*button, path);
        button->click();
    } else {
        fail(QStringLiteral("%1 cannot be clicked").arg(path));
    }
    return {};
}

void chooseComboRow(QComboBox& combo, int row) {
    combo.setCurrentIndex(row);
    emit combo.activated(row);
    emit combo.textActivated(combo.itemText(row));
}

void setCombo(QComboBox& combo, const QJsonValue& value, const QString& path) {
    const int row = value.isDouble() ? value.toInt() : combo.findText(value.toString());
    if (row >= 0 && row < combo.count()) {
        chooseComboRow(combo, row);
    } else if (combo.isEditable() && value.isString()) {
        // Typed and confirmed with Enter.
        combo.setEditText(value.toString());
        if (QLineEdit* edit = combo.lineEdit()) {
            emit edit->editingFinished();
        }
    } else {
        fail(QStringLiteral("%1 has no item %2").arg(path, value.toVariant().toString()));
    }
}

base::CallReply set(FastViewer& viewer, const QJsonArray& args) {
    base::expectArgumentCount(args, 2, 2);
    const QString path = controlPath(args);
    auto* widget = qobject_cast<QWidget*>(findControl(viewer, path));
    const QJsonValue value = args.at(1);
    if (widget == nullptr) {
        fail(QStringLiteral("%1 cannot be set").arg(path));
    }
    requireEnabled(*widget, path);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        setCombo(*combo, value, path);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(base::stringArgument(args, 1));
        emit edit->textEdited(edit->text());
        emit edit->editingFinished();
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget);
               button && button->isCheckable()) {
        if (button->isChecked() != value.toBool()) {
            button->click();
        }
    } else if (auto* group = qobject_cast<QGroupBox*>(widget); group && group->isCheckable()) {
        group->setChecked(value.toBool());
    } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
        spin->setValue(base::longArgument(args, 1));
    } else if (auto* dspin = qobject_cast<QDoubleSpinBox*>(widget)) {
        dspin->setValue(value.toDouble());
    } else if (auto* slider = qobject_cast<QAbstractSlider*>(widget)) {
        slider->setValue(base::longArgument(args, 1));
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        plain->setPlainText(base::stringArgument(args, 1));
    } else if (auto* rich = qobject_cast<QTextEdit*>(widget)) {
        rich->setPlainText(base::stringArgument(args, 1));
    } else {
        fail(QStringLiteral("%1 cannot be set").arg(path));
    }
    // A control that refused the value says why.
    if (const QString refused = widget->property("inputError").toString(); !refused.isEmpty()) {
        fail(refused);
    }
    return {};
}

base::CallReply select(FastViewer& viewer, const QJsonArray& args) {
    base::expectArgumentCount(args, 2, 2);
    const QString path = controlPath(args);
    const QJsonArray rows = args.at(1).isArray() ? args.at(1).toArray() : QJsonArray{args.at(1)};
    QObject* control = findControl(viewer, path);
    if (auto* list = qobject_cast<QListWidget*>(control)) {
        list->clearSelection();
        for (const QJsonValue& row : rows) {
            QListWidgetItem* item = list->item(row.toInt(-1));
            if (item == nullptr) {
                fail(QStringLiteral("%1 has no row %2").arg(path).arg(row.toInt(-1)));
            }
            item->setSelected(true);
        }
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        const int row = rows.isEmpty() ? -1 : rows.first().toInt(-1);
        if (row < 0 || row >= combo->count()) {
            fail(QStringLiteral("%1 has no row %2").arg(path).arg(row));
        }
        chooseComboRow(*combo, row);
    } else if (auto* tree = qobject_cast<QTreeWidget*>(control)) {
        tree->clearSelection();
        for (const QJsonValue& keyOrText : rows) {
            QTreeWidgetItem* item = findTreeItem(*tree, keyOrText.toString());
            if (item == nullptr) {
                fail(QStringLiteral("%1 has no item %2").arg(path, keyOrText.toString()));
            }
            item->setSelected(true);
            tree->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        }
    } else {
        fail(QStringLiteral("%1 has no rows to select").arg(path));
    }
    return {};
}

base::CallReply doubleClick(FastViewer& viewer, const QJsonArray& args) {
    base::expectArgumentCount(args, 1, 2);
    const QString path = controlPath(args);
    QObject* control = findControl(viewer, path);
    const QString which = args.size() > 1 ? base::stringArgument(args, 1) : QString();
    if (auto* tree = qobject_cast<QTreeWidget*>(control)) {
        QTreeWidgetItem* item = findTreeItem(*tree, which);
        if (item == nullptr) {
            fail(QStringLiteral("%1 has no item %2").arg(path, which));
        }
        tree->setCurrentItem(item);
        emit tree->itemDoubleClicked(item, 0);
    } else if (auto* list = qobject_cast<QListWidget*>(control)) {
        const QList<QListWidgetItem*> found = list->findItems(which, Qt::MatchExactly);
        QListWidgetItem* item = found.isEmpty() ? list->item(args.at(1).toInt(-1)) : found.first();
        if (item == nullptr) {
            fail(QStringLiteral("%1 has no item %2").arg(path, which));
        }
        list->setCurrentItem(item);
        emit list->itemDoubleClicked(item);
    } else if (auto* widget = qobject_cast<QWidget*>(control)) {
        const QPointF centre = QRectF(widget->rect()).center();
        QMouseEvent event(QEvent::MouseButtonDblClick, centre, widget->mapToGlobal(centre),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    } else {
        fail(QStringLiteral("%1 cannot be double-clicked").arg(path));
    }
    return {};
}

base::CallReply wait(FastViewer& /*viewer*/, const QJsonArray& args) {
    base::expectArgumentCount(args, 1, 1);
    const int ms = std::clamp(base::longArgument(args, 0), 0, kLongestWaitMs);
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return {};
}

}  // namespace

void registerWidgetCalls(base::HostCallRegistry& registry) {
    registry.add("Get", base::CallKind::Pseudo, get);
    registry.add("Click", base::CallKind::Pseudo, click);
    registry.add("Set", base::CallKind::Pseudo, set);
    registry.add("Select", base::CallKind::Pseudo, select);
    registry.add("DblClick", base::CallKind::Pseudo, doubleClick);
    registry.add("Wait", base::CallKind::Pseudo, wait);
}

}  // namespace sw::host
