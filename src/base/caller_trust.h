#pragma once

#include <QString>

// Who makes the host call that runs now, and what a caller without trust may have the viewer
// load. A web page reaches the viewer through a `sheetwise:` link as an untrusted caller: it may
// have sheets loaded from http and https addresses only, never a local file or a device. The
// runner of host calls marks each call with its caller's trust for as long as the call runs;
// whatever the call leads to (a load, a change of the project's addresses) can then ask who
// asked for it. Outside host calls the caller is the user, who is trusted.
//
// Threads: the mark belongs to the thread that runs the call (the UI thread).
namespace sw::base {

enum class Trust { Trusted, Untrusted };

// The trust of the host call running on this thread; Trusted when none runs.
Trust currentCallerTrust();

// Marks the calls run during its life as made by a caller of `trust`; the mark before it comes
// back when it ends. Scopes nest.
class CallerTrustScope {
public:
    explicit CallerTrustScope(Trust trust);
    ~CallerTrustScope();
    CallerTrustScope(const CallerTrustScope&) = delete;
    CallerTrustScope& operator=(const CallerTrustScope&) = delete;

private:
    Trust m_previous;
};

// Why a caller without trust may not have the viewer load `address`, as a sentence; empty when
// it may: an http or https address that names a server, read as the sheet loader reads it
// (blanks around it dropped).
QString untrustedAddressProblem(const QString& address);

}  // namespace sw::base
