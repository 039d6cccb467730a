// The local definition server: a publication database and the update endpoints the program
// asks, on loopback by default.
//   qm_defserver create DB
//   qm_defserver publish DB KIND FILE [--at "M/D/YYYY h:mm:ss AM"]   readable lines, as ADD
//   qm_defserver delete DB KIND KEY... [--at DATE]                    DEL records
//   qm_defserver newest DB                                            the newest publication
//   qm_defserver keygen DB [--retire-old-after DAYS]                  a new signing key
//   qm_defserver keys DB                                              the key file
//   qm_defserver sign DB date TEXT --days-ago N                       an old signed date answer
//   qm_defserver serve DB [--address A] [--port P] [--port-file F] [--unsigned]
//                                                                     P 0: any free port
//   qm_defserver translation DB FILE                                  what the language path serves
//   qm_defserver submissions DB                                       what the program sent
// Dates on the wire are in United States form. Every answer is signed with the newest key
// ("--unsigned": none is), and "/keys" serves the key file.

#include <httplib.h>
#include <sys/socket.h>

#include <cstdio>
#include <ctime>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Answers.h"
#include "Publication.h"
#include "SigningKeys.h"
#include "UsDate.h"
#include "definitions/LineScramble.h"
#include "text/Text.h"

namespace {

using namespace qm::defserver;

int Usage() {
    std::cerr << "usage: qm_defserver create DB | publish DB KIND FILE [--at DATE] |\n"
                 "       delete DB KIND KEY... [--at DATE] | newest DB |\n"
                 "       keygen DB [--retire-old-after DAYS] | keys DB |\n"
                 "       sign DB date TEXT --days-ago N |\n"
                 "       serve DB [--address A] [--port P] [--port-file F] [--unsigned] |\n"
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

// A whole number of days, 0 to 3650.
std::optional<int> ReadDays(const std::string& text) {
    if (text.empty() || text.size() > 4 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int days = std::stoi(text);
    if (days > 3650) return std::nullopt;
    return days;
}

int Serve(const std::string& path, const std::vector<std::string>& options) {
    std::string address = "127.0.0.1", portFile;
    int port = 8080;
    bool signing = true;
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (options[i] == "--unsigned") {
            signing = false;
            continue;
        }
        if (i + 1 == options.size()) return Usage();
        if (options[i] == "--address")
            address = options[++i];
        else if (options[i] == "--port")
            port = std::stoi(options[++i]);
        else if (options[i] == "--port-file")
            portFile = options[++i];
        else
            return Usage();
    }
    // One connection for every request (SQLite serializes them); fails here, with its
    // message, when there is no database.
    auto shared = std::make_shared<Publication>(path, false);
    // Fails here, with its message, when there is no key to sign with.
    const auto answers = std::make_shared<Answers>(*shared, signing);
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
    // The date with its time: a client cuts the date at its AM or PM, before the signature.
    const auto newest = [answers](const httplib::Request&, httplib::Response& res) {
        res.set_content(answers->Date(), "text/plain");
    };
    server.Get("/asp/currentDateNEW.asp", newest);
    server.Get("/asp/date.asp", newest);
    // Signed for the date asked, as it was read: an answer for one date is none for another.
    server.Get("/asp/getDefsNEW.asp",
               [answers](const httplib::Request& req, httplib::Response& res) {
                   const auto answer = answers->Definitions(req.get_param_value("date"));
                   if (!answer) {
                       res.status = 400;
                       res.set_content("the date is no date", "text/plain");
                       return;
                   }
                   res.set_content(*answer, "text/plain");
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
               [answers](const httplib::Request&, httplib::Response& res) {
                   const auto text = answers->Translation();
                   if (!text) {
                       res.status = 404;
                       return;
                   }
                   res.set_content(*text, "text/plain; charset=utf-8");
               });
    // The keys that sign, each later one introduced by the one before: how a client that
    // trusts an older key comes to trust the newest.
    server.Get("/keys", [shared](const httplib::Request&, httplib::Response& res) {
        const std::string keys = KeyFileText(shared->Keys());
        if (keys.empty()) {
            res.status = 404;
            return;
        }
        res.set_content(keys, "text/plain");
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
    if (command == "keygen") {
        int days = kDefaultRetirementDays;
        if (args.size() == 4 && args[2] == "--retire-old-after") {
            const auto read = ReadDays(args[3]);
            if (!read) {
                std::cerr << "the days after --retire-old-after are no number of days\n";
                return 2;
            }
            days = *read;
        } else if (args.size() != 2) {
            return Usage();
        }
        Publication db(path, false);
        std::cout << qm::update::KeyLineText(MakeKey(db, days)) << "\n";
        return 0;
    }
    // One date answer as the server signs it, made some days ago: what an attacker who kept
    // an old answer could replay.
    if (command == "sign" && args.size() == 6 && args[2] == "date" && args[4] == "--days-ago") {
        const auto days = ReadDays(args[5]);
        if (!days) {
            std::cerr << "the days after --days-ago are no number of days\n";
            return 2;
        }
        Publication db(path, false);
        std::cout << AnswerSigner(db).Sign(qm::update::SignedPurpose::Date, "", args[3],
                                           std::time(nullptr) - *days * 24 * 60 * 60);
        return 0;
    }
    if (command == "keys" && args.size() == 2) {
        Publication db(path, false);
        std::cout << KeyFileText(db.Keys());
        return 0;
    }
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
