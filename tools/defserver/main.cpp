// The local definition server: a publication database and the update endpoints the program
// asks, on loopback by default.
//   qm_defserver create DB
//   qm_defserver publish DB KIND FILE [--at "M/D/YYYY h:mm:ss AM"]   readable lines, as ADD
//   qm_defserver delete DB KIND KEY... [--at DATE]                    DEL records
//   qm_defserver newest DB                                            the newest publication
//   qm_defserver serve DB [--address A] [--port P] [--port-file F]    P 0: any free port
//   qm_defserver translation DB FILE                                  the file the language path
//   serves qm_defserver submissions DB                                       what the program sent
// Dates on the wire are in United States form.

#include <httplib.h>
#include <sys/socket.h>

#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Publication.h"
#include "UsDate.h"
#include "definitions/DefinitionFiles.h"
#include "definitions/LineScramble.h"
#include "text/Text.h"

namespace {

using namespace qm::defserver;

int Usage() {
    std::cerr << "usage: qm_defserver create DB | publish DB KIND FILE [--at DATE] |\n"
                 "       delete DB KIND KEY... [--at DATE] | newest DB |\n"
                 "       serve DB [--address A] [--port P] [--port-file F] |\n"
                 "       translation DB FILE | submissions DB\n";
    return 2;
}

// "--at DATE" among the arguments, taken out; now when absent. Nothing for a bad date.
std::optional<std::string> TakePublicationTime(std::vector<std::string>& args) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] != "--at") continue;
        const auto when = SortableFromUs(args[i + 1]);
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
        return when;
    }
    return SortableNow();
}

// The newest publication, or the program's own first date when nothing is published yet.
std::string NewestUs(Publication& db) {
    const auto newest = db.Newest();
    return newest ? UsFromSortable(*newest) : qm::defs::kDefaultDefinitionDate;
}

int Serve(const std::string& path, const std::vector<std::string>& options) {
    std::string address = "127.0.0.1", portFile;
    int port = 8080;
    for (std::size_t i = 0; i + 1 < options.size(); i += 2) {
        if (options[i] == "--address")
            address = options[i + 1];
        else if (options[i] == "--port")
            port = std::stoi(options[i + 1]);
        else if (options[i] == "--port-file")
            portFile = options[i + 1];
        else
            return Usage();
    }
    // One connection for every request (SQLite serializes them); fails here, with its
    // message, when there is no database.
    auto shared = std::make_shared<Publication>(path, false);
    httplib::Server server;
    // Workers enough for many clients at once; the library takes ownership of its queue.
    server.new_task_queue = [] { return std::make_unique<httplib::ThreadPool>(32).release(); };
    // The library listens with a queue of 5 connections: under many clients at once the
    // system then drops their connections before they are accepted. Its socket is seen here
    // (before it is bound) so that the queue can be made longer once it listens.
    int listening = -1;
    server.set_socket_options([&listening](int socket) {
        httplib::default_socket_options(socket);
        listening = socket;
    });
    const auto newest = [shared](const httplib::Request&, httplib::Response& res) {
        res.set_content(NewestUs(*shared), "text/plain");
    };
    server.Get("/asp/currentDateNEW.asp", newest);
    server.Get("/asp/date.asp", newest);
    server.Get("/asp/getDefsNEW.asp",
               [shared](const httplib::Request& req, httplib::Response& res) {
                   const auto since = SortableFromUs(req.get_param_value("date"));
                   if (!since) {
                       res.status = 400;
                       res.set_content("the date is no date", "text/plain");
                       return;
                   }
                   res.set_content(AnswerOf(shared->After(*since)), "text/plain");
               });
    // The reports: stored decoded (the library undoes the percent-encoding), with the time.
    server.Get("/asp/submitFP.asp", [shared](const httplib::Request& req, httplib::Response& res) {
        shared->RecordFalsePositive(req.get_param_value("files"), req.get_param_value("details"),
                                    SortableNow());
        res.set_content("OK", "text/plain");
    });
    server.Get("/asp/getData.asp", [shared](const httplib::Request& req, httplib::Response& res) {
        const bool added = shared->RecordData(req.get_param_value("data"), SortableNow());
        res.set_content(added ? "Added" : "Skipped", "text/plain");
    });
    server.Get("/Languages/0/Localization.txt",
               [shared](const httplib::Request&, httplib::Response& res) {
                   const auto text = shared->Translation();
                   if (!text) {
                       res.status = 404;
                       return;
                   }
                   res.set_content(*text, "text/plain; charset=utf-8");
               });
    // One line per request: what was asked (with the date a definitions query gave, decoded),
    // and how it was answered.
    server.set_logger([](const httplib::Request& req, const httplib::Response& res) {
        const std::string date =
            req.has_param("date") ? " date=" + req.get_param_value("date") : std::string();
        std::printf("%s %s%s %d\n", req.method.c_str(), req.path.c_str(), date.c_str(), res.status);
        std::fflush(stdout);
    });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& res,
                                    std::exception_ptr) { res.status = 500; });
    const int bound = port == 0 ? server.bind_to_any_port(address) : port;
    if (port != 0 && !server.bind_to_port(address, port)) {
        std::cerr << "cannot listen on " << address << ":" << port << "\n";
        return 2;
    }
    if (bound <= 0) {
        std::cerr << "cannot listen on " << address << "\n";
        return 2;
    }
    if (listening >= 0) ::listen(listening, SOMAXCONN);
    if (!portFile.empty()) std::ofstream(portFile) << bound << "\n";
    std::cout << "serving " << path << " on http://" << address << ":" << bound << std::endl;
    return server.listen_after_bind() ? 0 : 2;
}

int Run(std::vector<std::string> args) {
    if (args.size() < 2) return Usage();
    const std::string command = args[0], path = args[1];
    if (command == "create" && args.size() == 2) {
        Publication db(path, true);
        return 0;
    }
    if (command == "newest" && args.size() == 2) {
        Publication db(path, false);
        std::cout << NewestUs(db) << "\n";
        return 0;
    }
    if (command == "serve") return Serve(path, {args.begin() + 2, args.end()});
    if (command == "translation" && args.size() == 3) {
        std::ifstream file(args[2], std::ios::binary);
        if (!file) {
            std::cerr << "cannot read " << args[2] << "\n";
            return 2;
        }
        const std::string text((std::istreambuf_iterator<char>(file)), {});
        Publication db(path, false);
        db.SetTranslation(text);
        std::cout << text.size() << " bytes kept for /Languages/0/Localization.txt\n";
        return 0;
    }
    if (command == "submissions" && args.size() == 2) {
        Publication db(path, false);
        for (const Submission& s : db.Submissions()) {
            std::cout << UsFromSortable(s.received) << "  " << s.kind;
            if (s.kind == "FP") {
                std::cout << "  files=" << s.files << "  details=" << s.details << "\n";
            } else {
                // The names arrive scrambled as definition lines are: shown readable.
                std::string names;
                for (std::string_view name : qm::text::Split(s.data, '|')) {
                    if (name.empty()) continue;
                    if (!names.empty()) names += "|";
                    names += qm::defs::DecodeLine(std::string(name));
                }
                std::cout << "  data=" << names << "\n";
            }
        }
        return 0;
    }
    if (command != "publish" && command != "delete") return Usage();
    const auto when = TakePublicationTime(args);
    if (!when) {
        std::cerr << "the date after --at is no date\n";
        return 2;
    }
    if (args.size() < 4) return Usage();
    const std::string kind = args[2];
    std::vector<PublishedRecord> records;
    if (command == "publish") {
        std::ifstream file(args[3], std::ios::binary);
        if (!file) {
            std::cerr << "cannot read " << args[3] << "\n";
            return 2;
        }
        for (std::string line; std::getline(file, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) continue;
            const std::string body = BodyOf(kind, line);
            if (body.empty()) {
                std::cerr << "not a " << kind << " line: " << line << "\n";
                return 2;
            }
            records.push_back({kind, "ADD", body});
        }
    } else {
        for (std::size_t i = 3; i < args.size(); ++i)
            records.push_back({kind, "DEL", DeletionBodyOf(kind, args[i])});
    }
    Publication db(path, false);
    db.Publish(records, *when);
    std::cout << records.size() << " records published at " << UsFromSortable(*when) << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run({argv + 1, argv + argc});
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 2;
    }
}
