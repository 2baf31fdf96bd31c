#include "widgets/property_bag.h"

namespace sw::widgets {

PropertyBag::PropertyBag(const QVariantMap& values) : m_values(values), m_order(values.keys()) {}

QVariant PropertyBag::read(const QString& key, const QVariant& defaultValue) const {
    const auto it = m_values.constFind(key);
    if (it == m_values.constEnd()) {
        return defaultValue;
    }
    QVariant value = *it;
    if (!defaultValue.isValid() || value.metaType() == defaultValue.metaType()) {
        return value;
    }
    // Numbers stored as text (or with another width) are accepted if they convert cleanly;
    // booleans only from booleans or numbers, since any non-empty text would convert to true.
    if (defaultValue.metaType().id() == QMetaType::Bool &&
        value.metaType().id() == QMetaType::QString) {
        return defaultValue;
    }
    if (!value.canConvert(defaultValue.metaType()) || !value.convert(defaultValue.metaType())) {
        return defaultValue;
    }
    return value;
}

void PropertyBag::write(const QString& key, const QVariant& value, const QVariant& defaultValue) {
    if (value == defaultValue) {
        if (m_values.remove(key) > 0) {
            m_order.removeAll(key);
        }
        return;
    }
    if (!m_values.contains(key)) {
        m_order.append(key);
    }
    m_values.insert(key, value);
}

}  // namespace sw::widgets
