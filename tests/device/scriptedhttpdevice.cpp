#include "tests/device/scriptedhttpdevice.h"

#include <httplib.h>

#include <chrono>

ScriptedHttpDevice::ScriptedHttpDevice() : server_(std::make_unique<httplib::Server>()) {
    server_->Post("/ScanBox.cgi",
                  [this](const httplib::Request& request, httplib::Response& response) {
                      std::string answer = JobResponse("<CODE>801</CODE>");
                      {
                          std::lock_guard<std::mutex> lock(mutex_);
                          requests_.push_back({request.path, {}, request.body});
                          if (!jobAnswers_.empty()) {
                              answer = std::move(jobAnswers_.front());
                              jobAnswers_.pop_front();
                          }
                      }
                      response.set_content(answer, "text/xml; charset=utf-8");
                  });
    server_->Get("/loadimg.cgi",
                 [this](const httplib::Request& request, httplib::Response& response) {
                     std::pair<std::string, int> answer{std::string(), 404};
                     {
                         std::lock_guard<std::mutex> lock(mutex_);
                         std::string query;
                         for (const auto& [name, value] : request.params) {
                             query += (query.empty() ? "" : "&") + name + "=" + value;
                         }
                         requests_.push_back({request.path, query, {}});
                         if (!pageAnswers_.empty()) {
                             answer = std::move(pageAnswers_.front());
                             pageAnswers_.pop_front();
                         }
                     }
                     response.status = answer.second;
                     response.set_content(answer.first, "image/jpeg");
                 });
    const int port = server_->bind_to_any_port("127.0.0.1");
    if (port > 0) {
        port_ = static_cast<std::uint16_t>(port);
        thread_ = std::thread([this] { server_->listen_after_bind(); });
        // stop() only ends a server that is already running; wait for it so that a device
        // destroyed right away does not leave its thread listening.
        for (int i = 0; i < 5000 && !server_->is_running(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

ScriptedHttpDevice::~ScriptedHttpDevice() {
    server_->stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ScriptedHttpDevice::answerJob(std::string xml) {
    std::lock_guard<std::mutex> lock(mutex_);
    jobAnswers_.push_back(std::move(xml));
}

void ScriptedHttpDevice::answerPage(std::string bytes, int status) {
    std::lock_guard<std::mutex> lock(mutex_);
    pageAnswers_.emplace_back(std::move(bytes), status);
}

std::vector<ScriptedRequest> ScriptedHttpDevice::requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

std::string JobResponse(const std::string& inner) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><JOB>" + inner + "</JOB>";
}
