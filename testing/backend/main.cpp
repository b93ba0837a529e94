// zorvik-backend: the local back-end as a program, for the app's demo and for
// trying the client by hand.
//
//     zorvik-backend [--port N] [--watch-stdin] [--account E-MAIL:PIN]... [--log FILE] [--reports DIR]
//                    [--fail METHOD PATTERN STATUS [COUNT]]...
//     zorvik-backend --help
//
// Serves on 127.0.0.1 only, on port N (0, the default, lets the system pick
// one). The first line written to standard output is
// "listening on 127.0.0.1:PORT", flushed at once, so a caller can read the
// chosen port. The program runs until SIGINT or SIGTERM; with --watch-stdin it
// also stops when its standard input reaches end of file, so a parent that
// keeps a pipe to it open stops it by closing the pipe, or by going away.
// Each --account opens a ready account before serving: the freelancer E-MAIL
// with the password PIN, a business named "Demo Business", and an empty VAT
// registration and bank account, as a finished sign-up leaves them.
// With --log, each answer adds a line "METHOD PATH STATUS" to FILE (made anew), as it goes out; a dropped
// connection shows the status "dropped". The log never holds a query, a header or a body.
// With --reports, each crash report the kit service stores is written into DIR/<report id> ("-" for a
// report without one), one file per file part under the part's name, inflated.
// Each --fail answers requests of METHOD ("*" for any) whose path matches PATTERN (segments ":name" and a
// final "*") with STATUS and an error body: the next COUNT of them, or all without a count.
// Exit status: 0 after a stop (or the help), 2 for bad arguments (a malformed or repeated
// account included), told on standard error with the usage, 1 when it cannot serve (a port in use, a
// log or reports folder it cannot write).
//
// The back-end itself always listens on a port the system picks; for a given
// port the program puts a relay on 127.0.0.1:N in front of it that passes
// every request through and every answer back, and points the configuration's
// redirect URL at the given port.

#include "testing/backend/Backend.h"

#include "platform/foundation/Dictionary.h"
#include "testing/server/RawBodies.h"

#include <httplib.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <pthread.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <strings.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Account {
    std::string email;
    std::string pin;
};

struct Failure {
    std::string method;
    std::string pattern;
    int status { 0 };
    std::optional<std::size_t> times;
};

struct Options {
    int port { 0 };
    bool watchStdin { false };
    bool help { false };
    std::vector<Account> accounts;
    std::string logFile;
    std::string reportsDirectory;
    std::vector<Failure> failures;
};

// The whole of `text` as a number in [minimum, maximum], or nullopt.
template<typename Number>
std::optional<Number> parseNumber(std::string_view text, Number minimum, Number maximum)
{
    Number value {};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < minimum
        || value > maximum)
        return std::nullopt;
    return value;
}

// "E-MAIL:PIN", split at the last colon; both parts must be there.
std::optional<Account> parseAccount(std::string_view text)
{
    auto colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 == text.size())
        return std::nullopt;
    return Account { std::string(text.substr(0, colon)), std::string(text.substr(colon + 1)) };
}

// The options, or why the arguments were refused.
struct ParsedOptions {
    std::optional<Options> options;
    std::string error;
};

// `what` refused, as a ParsedOptions.
ParsedOptions refused(std::string what)
{
    return { std::nullopt, std::move(what) };
}

ParsedOptions parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        bool hasValue = i + 1 < argc;
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--watch-stdin") {
            options.watchStdin = true;
        } else if (argument == "--account" && hasValue) {
            auto account = parseAccount(argv[++i]);
            if (!account)
                return refused("--account takes E-MAIL:PIN, not \"" + std::string(argv[i]) + "\"");
            options.accounts.push_back(*account);
        } else if (argument == "--log" && hasValue) {
            if (!options.logFile.empty())
                return refused("--log is given twice");
            options.logFile = argv[++i];
            if (options.logFile.empty())
                return refused("--log needs a file");
        } else if (argument == "--port" && hasValue) {
            auto port = parseNumber(argv[++i], 0, 65535);
            if (!port)
                return refused("--port takes a number from 0 to 65535, not \"" + std::string(argv[i]) + "\"");
            options.port = *port;
        } else if (argument == "--reports" && hasValue) {
            if (!options.reportsDirectory.empty())
                return refused("--reports is given twice");
            options.reportsDirectory = argv[++i];
            if (options.reportsDirectory.empty())
                return refused("--reports needs a folder");
        } else if (argument == "--fail" && i + 3 < argc) {
            Failure failure { argv[i + 1], argv[i + 2], 0, std::nullopt };
            auto status = parseNumber(argv[i + 3], 100, 599);
            if (failure.method.empty())
                return refused("--fail needs a method (\"*\" for any)");
            if (!failure.pattern.starts_with("/"))
                return refused("--fail needs a path starting with /, not \"" + failure.pattern + "\"");
            if (!status)
                return refused(
                    "--fail takes a status from 100 to 599, not \"" + std::string(argv[i + 3]) + "\"");
            failure.status = *status;
            i += 3;
            if (i + 1 < argc) {
                std::string_view next = argv[i + 1];
                if (auto times = parseNumber<std::size_t>(next, 1, SIZE_MAX)) {
                    failure.times = times;
                    ++i;
                } else if (!next.starts_with("-")) {
                    return refused("--fail takes a count of 1 or more after the status, not \""
                        + std::string(next) + "\"");
                }
            }
            options.failures.push_back(std::move(failure));
        } else if (argument == "--account" || argument == "--log" || argument == "--port"
            || argument == "--reports" || argument == "--fail") {
            return refused(std::string(argument)
                + (argument == "--fail" ? " needs METHOD PATTERN STATUS" : " needs a value"));
        } else {
            return refused("unknown argument " + std::string(argument));
        }
    }
    return { options, {} };
}

// Serves 127.0.0.1:port by passing each request on to the back-end on 127.0.0.1:target.
class Relay {
public:
    Relay(int port, int target)
    {
        auto forward = [target](const httplib::Request& request, httplib::Response& response) {
            httplib::Client client("127.0.0.1", target);
            httplib::Request outgoing;
            outgoing.method = request.method;
            outgoing.path = request.target;
            outgoing.body = request.body;
            auto headers = request.headers;
            testing::unmaskContentType(headers);
            for (const auto& [name, value] : headers) {
                if (!isLocalHeader(name))
                    outgoing.headers.emplace(name, value);
            }
            auto answer = client.send(outgoing);
            if (!answer) {
                response.status = 502;
                return;
            }
            response.status = answer->status;
            for (const auto& [name, value] : answer->headers) {
                if (!isLocalHeader(name) && strcasecmp(name.c_str(), "Content-Type") != 0)
                    response.set_header(name, value);
            }
            response.set_content(answer->body, answer->get_header_value("Content-Type").c_str());
        };
        testing::keepRawBodies(m_server);
        // Unlike the library's default, no SO_REUSEPORT: a port another program listens on is refused,
        // not shared with it.
        m_server.set_socket_options([](int socket) {
            int yes = 1;
            setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        });
        m_server.Get(".*", forward);
        m_server.Post(".*", forward);
        m_server.Put(".*", forward);
        m_server.Delete(".*", forward);
        if (!m_server.bind_to_port("127.0.0.1", port))
            throw std::runtime_error(
                "cannot listen on 127.0.0.1:" + std::to_string(port) + " (does another program serve it?)");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
    }

    ~Relay()
    {
        m_server.stop();
        m_thread.join();
    }

private:
    // Headers that belong to one connection (or that the HTTP library adds
    // itself) and so are not passed on.
    static bool isLocalHeader(std::string_view name)
    {
        for (std::string_view local : { "Host", "Content-Length", "Connection", "Keep-Alive",
                 "Transfer-Encoding", "REMOTE_ADDR", "REMOTE_PORT", "LOCAL_ADDR", "LOCAL_PORT" }) {
            if (strcasecmp(std::string(name).c_str(), local.data()) == 0)
                return true;
        }
        return false;
    }

    httplib::Server m_server;
    std::thread m_thread;
};

// A part name that is a plain file name, not a path.
bool isPlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos
        && name.find('\0') == std::string::npos;
}

// Writes the report's files into directory/<report id>; false (told on standard error) when one fails.
bool writeReport(const std::filesystem::path& directory, const testing::CrashReport& report)
{
    auto identifier = report.reportId.value_or("-");
    if (!isPlainFileName(identifier)) {
        std::cerr << "zorvik-backend: a report id is no file name: " << identifier << "\n";
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(directory / identifier, error);
    bool written = !error;
    for (const auto& file : report.files) {
        if (!isPlainFileName(file.name)) {
            std::cerr << "zorvik-backend: a part name is no file name: " << file.name << "\n";
            written = false;
            continue;
        }
        std::ofstream output(directory / identifier / file.name, std::ios::binary | std::ios::trunc);
        output.write(file.data.data(), static_cast<std::streamsize>(file.data.size()));
        written = written && output.good();
    }
    if (!written)
        std::cerr << "zorvik-backend: cannot write the report " << identifier << " into " << directory
                  << "\n";
    return written;
}

const char* const kHelp
    = "\n"
      "Serves the Zorvik back-end (REST API, company search, configuration, photo storage and the kit\n"
      "service) on 127.0.0.1 until SIGINT or SIGTERM, and writes \"listening on 127.0.0.1:PORT\" first.\n"
      "\n"
      "  --port N                 serve on port N (0, the default: a free port the system picks)\n"
      "  --watch-stdin            also stop when standard input ends\n"
      "  --account E-MAIL:PIN     open a ready account (a business named \"Demo Business\"); repeatable\n"
      "  --log FILE               write a line \"METHOD PATH STATUS\" to FILE for each answer\n"
      "  --reports DIR            write each crash report stored into DIR/<report id>/, a file a part\n"
      "  --fail METHOD PATTERN STATUS [COUNT]\n"
      "                           answer requests of METHOD (\"*\": any) on paths matching PATTERN\n"
      "                           (\":name\" segments, a final \"*\") with STATUS and an error body, the\n"
      "                           next COUNT of them or all; repeatable\n"
      "  --help, -h               print this help and stop\n"
      "\n"
      "Exit status: 0 after a stop, 2 for bad arguments, 1 when it cannot serve.\n";

// Reads standard input to its end, then asks the main thread to stop.
void watchStandardInput()
{
    char buffer[256];
    while (true) {
        auto count = read(STDIN_FILENO, buffer, sizeof buffer);
        if (count == 0 || (count < 0 && errno != EINTR))
            break;
    }
    kill(getpid(), SIGTERM);
}

}

int main(int argc, char** argv)
{
    const char* usage
        = "usage: zorvik-backend [--port N] [--watch-stdin] [--account E-MAIL:PIN]... [--log FILE]"
          " [--reports DIR] [--fail METHOD PATTERN STATUS [COUNT]]...\n";
    auto parsed = parseOptions(argc, argv);
    if (!parsed.options) {
        std::cerr << "zorvik-backend: " << parsed.error << "\n" << usage;
        return 2;
    }
    auto& options = parsed.options;
    if (options->help) {
        std::cout << usage << kHelp;
        return 0;
    }

    // Every thread, the server's included, inherits this mask, so the stop
    // signals reach only the sigwait below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        // Before the back-end, so that they outlive its server threads.
        std::ofstream log;
        std::mutex logMutex;
        testing::Backend backend;
        for (const auto& account : options->accounts) {
            auto business = platform::foundation::Dictionary::make({ { "name", "Demo Business" } });
            if (!backend.state().addAccount(account.email, account.pin, business)) {
                std::cerr << "zorvik-backend: cannot open the account " << account.email << "\n";
                return 2;
            }
        }
        if (!options->logFile.empty()) {
            log.open(options->logFile, std::ios::trunc);
            if (!log) {
                std::cerr << "zorvik-backend: cannot write the log " << options->logFile << "\n";
                return 1;
            }
            backend.setAnswerObserver([&log, &logMutex](const testing::ServerRequest& request, int status) {
                std::lock_guard lock(logMutex);
                log << request.method << ' ' << request.path << ' '
                    << (status == 0 ? std::string("dropped") : std::to_string(status)) << std::endl;
            });
        }
        if (!options->reportsDirectory.empty()) {
            std::error_code error;
            std::filesystem::create_directories(options->reportsDirectory, error);
            if (!std::filesystem::is_directory(options->reportsDirectory, error)) {
                std::cerr << "zorvik-backend: cannot write reports into " << options->reportsDirectory
                          << "\n";
                return 1;
            }
            backend.crashReports().setObserver(
                [directory = std::filesystem::path(options->reportsDirectory)](
                    const testing::CrashReport& report) { writeReport(directory, report); });
        }
        for (const auto& failure : options->failures)
            backend.failRoute(failure.method, failure.pattern, failure.status, failure.times);
        std::unique_ptr<Relay> relay;
        auto port = backend.port();
        if (options->port != 0) {
            relay = std::make_unique<Relay>(options->port, backend.port());
            port = options->port;
            auto configuration = backend.defaultConfiguration();
            configuration.dictionary()->set(
                "redirectUrl", "http://127.0.0.1:" + std::to_string(port) + "/upgrade");
            backend.setConfiguration(configuration);
        }
        std::cout << "listening on 127.0.0.1:" << port << std::endl;
        if (options->watchStdin)
            std::thread(watchStandardInput).detach();
        int signal = 0;
        sigwait(&stopSignals, &signal);
    } catch (const std::exception& error) {
        std::cerr << "zorvik-backend: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
