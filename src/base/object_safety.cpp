#include "base/object_safety.h"

namespace sw::base {

namespace {

SafeCtl g_safeCtl;

// Runs Main() when the library is loaded, as the original in-process server did.
[[maybe_unused]] const bool g_started = (Main(), true);

enum class Family { Dispatch, Persistence, Unknown };

Family familyOf(const QUuid& iid) {
    const QString text = registryGuidText(iid);
    if (text == QLatin1String(kIDispatch)) {
        return Family::Dispatch;
    }
    if (text == QLatin1String(kIPersistStorage) || text == QLatin1String(kIPersistStream) ||
        text == QLatin1String(kIPersistPropertyBag)) {
        return Family::Persistence;
    }
    return Family::Unknown;
}

}  // namespace

const SafeCtl& safeCtl() {
    return g_safeCtl;
}

void Main() {
    g_safeCtl.SafeForScripting = true;
    g_safeCtl.SafeForInitializing = true;
}

QStringList safeClassNames() {
    return {QStringLiteral("FastViewer"),       QStringLiteral("SWRuler"),
            QStringLiteral("SWGradientButton"), QStringLiteral("SWMenuBar"),
            QStringLiteral("PrintDialog"),      QStringLiteral("cBitmap"),
            QStringLiteral("clsTrackInfo"),     QStringLiteral("Class1")};
}

QString registryGuidText(const QUuid& iid) {
    return iid.toString(QUuid::WithBraces).toUpper();
}

HResult ObjectSafety::GetInterfaceSafetyOptions(const std::optional<QUuid>& iid,
                                                std::uint32_t& supported,
                                                std::uint32_t& enabled) const {
    supported = kSafeForUntrustedCaller | kSafeForUntrustedData;
    if (!iid) {
        return kSOk;
    }
    switch (familyOf(*iid)) {
        case Family::Dispatch:
            enabled = m_flags.SafeForScripting ? kSafeForUntrustedCaller : 0;
            return kSOk;
        case Family::Persistence:
            enabled = m_flags.SafeForInitializing ? kSafeForUntrustedData : 0;
            return kSOk;
        case Family::Unknown:
            break;
    }
    return kENoInterface;
}

HResult ObjectSafety::SetInterfaceSafetyOptions(const std::optional<QUuid>& iid,
                                                std::uint32_t optionSetMask,
                                                std::uint32_t enabledOptions) const {
    if (!iid) {
        return kSOk;
    }
    const std::uint32_t request = optionSetMask & enabledOptions;
    switch (familyOf(*iid)) {
        case Family::Dispatch:
            return request == kSafeForUntrustedCaller && m_flags.SafeForScripting ? kSOk : kEFail;
        case Family::Persistence:
            return request == kSafeForUntrustedData && m_flags.SafeForInitializing ? kSOk : kEFail;
        case Family::Unknown:
            break;
    }
    return kENoInterface;
}

bool ObjectSafety::allowsScripting() const {
    std::uint32_t supported = 0;
    std::uint32_t enabled = 0;
    return GetInterfaceSafetyOptions(QUuid(QLatin1String(kIDispatch)), supported, enabled) ==
               kSOk &&
           (enabled & kSafeForUntrustedCaller) != 0;
}

}  // namespace sw::base
