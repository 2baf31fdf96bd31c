#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include "base/caller_trust.h"
#include "base/object_safety.h"

// Host calls: how a plan-room page (or a script, or a test) drives the viewer. A document
//   {"calls": [["InitVars", "http://h/", "2004~0815", "Main Street School", 90, "north"],
//              ["MakePlanList", "hdr~A,Sheet 1,s1.tif"], ["Dump"]]}
// lists calls; each is run on one FastViewer in order and answered by one reply object:
//   {"call": "InitVars", "ok": true, "result": null, "args": [arguments after the call]}
//   {"call": "GetPart", "ok": false, "error": "Overflow"}
// A failing call does not stop the ones after it.
//
// Two kinds of calls exist: the control's scripting methods, and pseudo-calls that stand in for
// a user or a test (Dump, Get, Click, Wait, ...). Each area registers its calls in a
// HostCallRegistry from its own file; the runner knows nothing about where a document came from.
// A document from an untrusted source (a web page) runs scripting methods only, and only while
// the safety answers allow scripting.
//
// Threads: the UI thread of the FastViewer the calls run on.
//
// Handlers take the viewer they run on by reference. The viewer is only declared here: this
// layer never sees its definition, the areas above that register calls do.
namespace sw::host {
class FastViewer;
}  // namespace sw::host

namespace sw::base {

using host::FastViewer;

// The fields of a call's reply besides "call" and "ok" ("result", "args", "state", ...).
using CallReply = QJsonObject;
// Runs one call on the viewer with the call's arguments (the elements after the name). Throws
// ScriptError (or any std::exception) to fail the call with its description.
using CallHandler = std::function<CallReply(FastViewer& viewer, const QJsonArray& args)>;
// Adds keys to the "state" object of the Dump pseudo-call.
using StateProvider = std::function<void(FastViewer& viewer, QJsonObject& state)>;

enum class CallKind { Scripting, Pseudo };

// Not copyable: handlers such as Dump refer to the registry they are registered in.
class HostCallRegistry {
public:
    HostCallRegistry() = default;
    HostCallRegistry(const HostCallRegistry&) = delete;
    HostCallRegistry& operator=(const HostCallRegistry&) = delete;

    struct Entry {
        QString name;
        CallKind kind;
        CallHandler handler;
    };

    // Registers a call; a later registration of the same name (any letter case) replaces it.
    void add(const QString& name, CallKind kind, CallHandler handler);
    // The call named `name`, matched without regard to letter case as script hosts do.
    [[nodiscard]] const Entry* find(const QString& name) const;
    [[nodiscard]] QStringList names() const;

    // State providers run in the order added, after the viewer's own fields; a provider may
    // replace keys added before it.
    void addStateProvider(StateProvider provider);
    void fillState(FastViewer& viewer, QJsonObject& state) const;

private:
    std::vector<Entry> m_entries;
    std::vector<StateProvider> m_stateProviders;
};

// Reads a host-call document. Returns the list of calls, or nothing with `error` set to a
// sentence saying what is wrong (not JSON, no "calls" list). Single calls are checked when run.
std::optional<QJsonArray> parseHostCallDocument(const QByteArray& bytes, QString* error);

// Runs calls on one viewer with a registry. Each call runs marked with the runner's trust
// (base/caller_trust.h).
class HostCallRunner {
public:
    // `safety` gives the answers an untrusted caller's calls are checked against.
    HostCallRunner(FastViewer& viewer, const HostCallRegistry& registry, Trust trust,
                   const ObjectSafety& safety = ObjectSafety());

    // Runs one call (a JSON array: name, arguments...) and returns its whole reply. Never throws.
    QJsonObject run(const QJsonValue& call) const;

private:
    FastViewer& m_viewer;
    const HostCallRegistry& m_registry;
    Trust m_trust;
    ObjectSafety m_safety;
};

// One reply as a compact JSON line without the newline, "call" and "ok" first.
QByteArray replyLine(const QJsonObject& reply);

// ---- Arguments of scripting methods, converted as a script host converts its variants
// ------------

// Throws "Argument not optional" below `min` and "Wrong number of arguments or invalid property
// assignment" above `max` arguments.
void expectArgumentCount(const QJsonArray& args, int min, int max);
// Text of argument `index`: strings as they are, numbers in their shortest decimal form, true and
// false as "True" and "False", null as "". Lists and objects throw "Type mismatch".
QString stringArgument(const QJsonArray& args, int index);
// 32-bit integer of argument `index`: numbers and numeric texts rounded half to even ("Overflow"
// outside the range), true -1, false and null 0; other texts throw "Type mismatch".
std::int32_t longArgument(const QJsonArray& args, int index);

}  // namespace sw::base
