#include "tools/mfpsim/httpserver.h"

#include <httplib.h>

#include <chrono>
#include <sstream>
#include <thread>

namespace {

// Waits for the stall to pass, or for the simulator to stop.
void stall(int seconds, const std::atomic<bool>& stopping) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!stopping && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// Ends the exchange without an answer: a content provider that fails closes the connection.
void closeWithoutAnswer(httplib::Response& res) {
    res.set_content_provider(1, "application/octet-stream",
                             [](size_t, size_t, httplib::DataSink&) { return false; });
}

// Announces the whole body, sends its first half and closes the connection.
void sendHalf(httplib::Response& res, std::string body, const std::string& contentType) {
    auto shared = std::make_shared<std::string>(std::move(body));
    res.set_content_provider(shared->size(), contentType,
                             [shared](size_t offset, size_t, httplib::DataSink& sink) {
                                 const size_t half = shared->size() / 2;
                                 if (offset < half) {
                                     sink.write(shared->data() + offset, half - offset);
                                     return true;
                                 }
                                 return false;
                             });
}

// Sends the whole body without announcing its length and closes the connection after it.
void sendUnsized(httplib::Response& res, std::string body, const std::string& contentType) {
    auto shared = std::make_shared<std::string>(std::move(body));
    res.set_header("Connection", "close");
    res.set_content_provider(contentType, [shared](size_t offset, httplib::DataSink& sink) {
        if (offset < shared->size()) {
            sink.write(shared->data() + offset, shared->size() - offset);
        } else {
            sink.done();
        }
        return true;
    });
}

// Sends the body as the misbehaviour asks: whole, half, or without its length.
void sendBody(httplib::Response& res, std::string body, const std::string& contentType,
              MisbehaviourKind misbehaviour) {
    if (misbehaviour == MisbehaviourKind::Drop) {
        sendHalf(res, std::move(body), contentType);
    } else if (misbehaviour == MisbehaviourKind::Unsized) {
        sendUnsized(res, std::move(body), contentType);
    } else {
        res.set_content(std::move(body), contentType);
    }
}

}  // namespace

HttpServer::HttpServer(JobHandler& jobs, const std::atomic<bool>& stopping)
    : jobs_(jobs), stopping_(stopping), server_(std::make_unique<httplib::Server>()) {
    routes();
}

HttpServer::~HttpServer() = default;

int HttpServer::bind(const std::string& address, int port) {
    if (port == 0) {
        return server_->bind_to_any_port(address);
    }
    return server_->bind_to_port(address, port) ? port : -1;
}

void HttpServer::run() {
    server_->listen_after_bind();
}

void HttpServer::stop() {
    server_->stop();
}

void HttpServer::routes() {
    server_->Post("/ScanBox.cgi", [this](const httplib::Request& req, httplib::Response& res) {
        const JobReply reply = jobs_.handleJob({"http", "POST", req.target}, req.body, nullptr);
        if (reply.misbehaviour == MisbehaviourKind::Stall) {
            stall(reply.stallSeconds, stopping_);
            closeWithoutAnswer(res);
            return;
        }
        res.status = reply.httpStatus;
        if (reply.httpStatus != 200) {
            return;
        }
        sendBody(res, reply.body, "text/xml; charset=utf-8", reply.misbehaviour);
    });

    server_->Get("/loadimg.cgi", [this](const httplib::Request& req, httplib::Response& res) {
        std::map<std::string, std::string> query;
        for (const auto& [name, value] : req.params) {
            query.emplace(name, value);
        }
        const PageReply reply = jobs_.handlePageDownload(req.target, query);
        if (reply.misbehaviour == MisbehaviourKind::Stall) {
            stall(reply.stallSeconds, stopping_);
            closeWithoutAnswer(res);
            return;
        }
        res.status = reply.httpStatus;
        if (reply.httpStatus != 200) {
            return;
        }
        sendBody(res, reply.bytes, reply.contentType, reply.misbehaviour);
    });

    server_->Post("/admin/misbehave", [this](const httplib::Request& req, httplib::Response& res) {
        std::vector<std::string> rules;
        std::istringstream lines(req.body);
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (!line.empty()) {
                rules.push_back(line);
            }
        }
        res.status = jobs_.misbehaviour().setRules(rules) ? 200 : 400;
    });
}
