// What assistive technology finds of a drawing surface: a list of the drawn objects, each
// an item read as the surface reads it, the selected one focused, the last change told as
// the list's description.
#include "app/DrawingSurface.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <map>

namespace {

// One drawn object as assistive technology finds it: an item of the surface's list.
class DrawnObjectAccessible : public QAccessibleInterface {
public:
    DrawnObjectAccessible(DrawingSurface* surface, int index) : surface_(surface), index_(index) {}

    bool isValid() const override {
        return surface_ != nullptr && index_ < static_cast<int>(surface_->Objects().size());
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return surface_ ? surface_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(surface_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name && isValid() ? surface_->ObjectText(index_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid())
            return {};
        const drawing::Point at = surface_->Objects()[static_cast<std::size_t>(index_)].at;
        const int side = static_cast<int>(drawing::kArrowLength);
        const QPoint centre =
            surface_->mapToGlobal(QPoint(static_cast<int>(at.x), static_cast<int>(at.y)));
        return {centre - QPoint(side, side), QSize(2 * side, 2 * side)};
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.selectable = true;
        state.focusable = true;
        state.selected = isValid() && surface_->Selected() == index_;
        state.focused = state.selected && surface_->hasFocus();
        return state;
    }

private:
    QPointer<DrawingSurface> surface_;
    int index_;
};

// The surface as a list of its objects. The items are made when first asked for and kept,
// one per place in the list, so that a screen reader's handle on one stays good.
class DrawingSurfaceAccessible : public QAccessibleWidget {
public:
    explicit DrawingSurfaceAccessible(DrawingSurface* surface)
        : QAccessibleWidget(surface, QAccessible::List) {}
    ~DrawingSurfaceAccessible() override {
        for (const auto& [index, id] : items_)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return static_cast<int>(Surface()->Objects().size()); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        const auto found = items_.find(index);
        if (found != items_.end())
            return QAccessible::accessibleInterface(found->second);
        auto* item = new DrawnObjectAccessible(Surface(), index);
        items_[index] = QAccessible::registerAccessibleInterface(item);
        return item;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (const auto& [index, id] : items_)
            if (QAccessible::accessibleInterface(id) == child)
                return index;
        return -1;
    }
    QAccessibleInterface* focusChild() const override {
        return Surface()->Selected() >= 0 ? child(Surface()->Selected()) : nullptr;
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name)
            return QString::fromUtf8("Рисунок: силы и моменты");
        if (kind == QAccessible::Description)
            return Surface()->LastChange();
        return QAccessibleWidget::text(kind);
    }

private:
    DrawingSurface* Surface() const { return static_cast<DrawingSurface*>(widget()); }

    mutable std::map<int, QAccessible::Id> items_;
};

QAccessibleInterface* MakeDrawingSurfaceAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("DrawingSurface"))
        if (auto* surface = qobject_cast<DrawingSurface*>(object))
            return new DrawingSurfaceAccessible(surface);
    return nullptr;
}

} // namespace

void InstallDrawingSurfaceAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(MakeDrawingSurfaceAccessible);
        return true;
    }();
    (void)installed;
}
