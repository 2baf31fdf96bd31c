#include "base/caller_trust.h"

#include <QUrl>

namespace sw::base {

namespace {

thread_local Trust t_callerTrust = Trust::Trusted;

constexpr qsizetype kShownAddressLength = 80;  // characters of a refused address quoted

}  // namespace

Trust currentCallerTrust() {
    return t_callerTrust;
}

CallerTrustScope::CallerTrustScope(Trust trust) : m_previous(t_callerTrust) {
    t_callerTrust = trust;
}

CallerTrustScope::~CallerTrustScope() {
    t_callerTrust = m_previous;
}

QString untrustedAddressProblem(const QString& address) {
    const QString trimmed = address.trimmed();
    const QUrl url(trimmed, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
        !url.host().isEmpty()) {
        return {};
    }
    const QString shown = trimmed.size() <= kShownAddressLength
                              ? trimmed
                              : trimmed.left(kShownAddressLength) + QStringLiteral("…");
    return QStringLiteral(
               "sheets named by a web page are loaded only from http and https addresses, "
               "not from \"%1\"")
        .arg(shown);
}

}  // namespace sw::base
