#pragma once

#include <cstdint>
#include <optional>

#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVariant>

// The answers every public class of the library gives a browser that asks whether the class may
// be driven by script (safe for untrusted callers) and initialised from untrusted data. The host
// call runner consults them before it runs calls from an untrusted caller.
//
// Threads: the flags are process-wide and set once at start-up, before any call arrives.
namespace sw::base {

// Result codes of the safety queries.
using HResult = std::uint32_t;
inline constexpr HResult kSOk = 0x00000000;
inline constexpr HResult kENoInterface = 0x80004002;
inline constexpr HResult kEFail = 0x80004005;

// Option bits.
inline constexpr std::uint32_t kSafeForUntrustedCaller = 1;
inline constexpr std::uint32_t kSafeForUntrustedData = 2;

// Interface identifiers the answers know, in upper-case registry form.
inline constexpr char kIDispatch[] = "{00020400-0000-0000-C000-000000000046}";
inline constexpr char kIPersistStorage[] = "{0000010A-0000-0000-C000-000000000046}";
inline constexpr char kIPersistStream[] = "{00000109-0000-0000-C000-000000000046}";
inline constexpr char kIPersistPropertyBag[] = "{37D84F60-42CB-11CE-8135-00AA004BB851}";

// The two process-wide switches of the library. Main() turns both on when the library loads;
// nothing turns them off.
struct SafeCtl {
    bool SafeForScripting = false;
    bool SafeForInitializing = false;
};

// The library's switches (on once the library has loaded).
const SafeCtl& safeCtl();

// The start-up routine of the library: turns both switches on. Runs by itself at load time; safe
// to call again.
void Main();

// The names of the classes that answer the safety queries, all in the same way.
QStringList safeClassNames();

// The safety answers of one class. `flags` is the library's switches unless a caller passes its
// own. An absent interface identifier (std::nullopt) is the "no identifier given" case.
class ObjectSafety {
public:
    explicit ObjectSafety(const SafeCtl& flags = safeCtl()) : m_flags(flags) {}

    // Sets `supported` to 3 and, for a known interface, `enabled`; unknown interfaces give
    // kENoInterface with `enabled` untouched.
    HResult GetInterfaceSafetyOptions(const std::optional<QUuid>& iid, std::uint32_t& supported,
                                      std::uint32_t& enabled) const;
    // Accepts exactly the one option bit that belongs to the interface, while its switch is on.
    // Stores nothing.
    HResult SetInterfaceSafetyOptions(const std::optional<QUuid>& iid, std::uint32_t optionSetMask,
                                      std::uint32_t enabledOptions) const;

    // True when the answers let an untrusted caller script the class (IDispatch enabled for
    // untrusted callers).
    [[nodiscard]] bool allowsScripting() const;

private:
    SafeCtl m_flags;
};

// The identifier in upper-case registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
QString registryGuidText(const QUuid& iid);

// A class with one variant property and nothing else, offered to script hosts.
class Class1 {
public:
    QVariant prop1;
};

}  // namespace sw::base
