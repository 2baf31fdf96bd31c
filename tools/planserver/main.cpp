// planserver: serves a folder of plan sheets on 127.0.0.1 for the demo and the tests. Prints
// "planserver listening on http://127.0.0.1:PORT/" once it listens; stops on SIGINT/SIGTERM.
#include "planserver/plan_room_page.h"
#include "planserver/plan_server.h"
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include <QCoreApplication>
#include <QSocketNotifier>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

// Turns SIGINT and SIGTERM into a quit of the event loop, outside the signal handler.
bool installQuitOnSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) {
        return false;
    }
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[0], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 &&
           ::sigaction(SIGTERM, &action, nullptr) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const sw::tools::PlanServerArguments arguments =
        sw::tools::parsePlanServerArguments(app.arguments().mid(1));
    if (!arguments.options) {
        std::fputs(qPrintable(arguments.message), arguments.helpRequested ? stdout : stderr);
        return arguments.helpRequested ? 0 : 2;
    }
    if (!installQuitOnSignals(app)) {
        std::fputs("planserver: cannot install the signal handlers\n", stderr);
        return 1;
    }
    sw::tools::PlanServer server(*arguments.options);
    sw::tools::addPlanRoomPage(server, arguments.options->root);
    if (server.start(arguments.options->port) == 0) {
        std::fprintf(stderr, "planserver: %s\n", qPrintable(server.errorString()));
        return 1;
    }
    std::printf("planserver listening on %s\n", server.baseUrl().toString().toUtf8().constData());
    std::fflush(stdout);
    const int code = app.exec();
    server.stop();
    return code;
}
