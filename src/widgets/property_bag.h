#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

namespace sw::widgets {

// The host's property bag: named values a control writes when the host saves it and reads back
// when the host loads it. A control writes only the values that differ from their defaults, so a
// bag holds exactly what the user changed; `writtenKeys` keeps the order of writing. The bag is a
// plain value (copyable, no ownership of anything) and can travel as a QVariantMap, for example in
// a host's saved document. Not thread-safe; used on the UI thread.
class PropertyBag {
public:
    PropertyBag() = default;
    // A bag as a host stored it; the key order of the map is taken as the writing order.
    explicit PropertyBag(const QVariantMap& values);

    // The stored value of `key` if there is one and it converts to the default's type, otherwise
    // `defaultValue` (a missing key and a value of the wrong kind both give the default).
    [[nodiscard]] QVariant read(const QString& key, const QVariant& defaultValue) const;

    // Stores `value` under `key` unless it equals `defaultValue`; a stored value equal to the
    // default is removed, so writing the default back leaves the key absent.
    void write(const QString& key, const QVariant& value, const QVariant& defaultValue);

    [[nodiscard]] bool contains(const QString& key) const { return m_values.contains(key); }
    [[nodiscard]] bool isEmpty() const { return m_values.isEmpty(); }
    [[nodiscard]] QStringList writtenKeys() const { return m_order; }
    [[nodiscard]] QVariantMap toMap() const { return m_values; }

private:
    QVariantMap m_values;
    QStringList m_order;
};

}  // namespace sw::widgets
