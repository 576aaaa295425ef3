#pragma once
// Finding a running instance of the program and handing files to it. Instances are found and
// asked over the platform's single-instance channel; every wait is bounded, and a hand-over that
// does not complete leaves the files with the starting instance.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "foundation/base/string_list.h"

namespace qv {

// Requests of the instance protocol.
enum : uint8_t {
  irActivate = 0,          // bring to the front, restoring when minimised
  irMayTakeFiles = 1,      // answer non-zero: yes
  irOpenFile = 2,          // path: open this file
  irPrintFile = 3,         // path: open and print this file
  irIsMinimized = 4,       // answer 1: minimised
  irMinimize = 5,
  irIsFactoryTestCopy = 6, // answer non-zero: started with factory settings
};

// Inputs from the start-up: the files named on the command line (full paths, in order) and what
// to do with them (0 nothing, 1 open, 2 print).
extern TStringList CommandLineFiles;
extern uint8_t CommandLineAction;

// How long one request may wait for its answer, in milliseconds.
extern int32_t InstanceRequestTimeoutMs;

// A running instance found on the channel.
struct TInstanceWindow {
  std::string Address;
  int32_t Pid = 0;
};

// Modes: 0 any instance; 1 and 2 one that takes files now; 3 the factory-settings test copy.
std::optional<TInstanceWindow> FindOtherInstance(uint8_t mode);
// Sends a request; std::nullopt when it went unanswered.
std::optional<uint8_t> SendInstanceRequest(const TInstanceWindow& window, uint8_t code);
std::optional<uint8_t> SendInstanceFile(const TInstanceWindow& window, uint8_t code,
                                        const std::string& path);
// Hands CommandLineFiles to a running instance. True when every file was handed over (the caller
// then ends quietly). On false the files not handed over remain in CommandLineFiles for the
// starting instance to open itself.
bool HandOverToOtherInstance();

// The receiving side: the main window answers the requests of other instances. The default
// receiver refuses files and answers 0 to every question.
class TInstanceReceiver {
 public:
  virtual ~TInstanceReceiver() = default;
  virtual uint8_t HandleInstanceRequest(uint8_t code, const std::string& path);
};
void RegisterInstanceReceiver(std::unique_ptr<TInstanceReceiver> receiver);
TInstanceReceiver& InstanceReceiver();

// Makes this instance findable (the main window calls it once it exists) and withdraws it.
// Publish returns false when the channel cannot be opened (the program then runs unfound).
bool PublishThisInstance();
void WithdrawThisInstance();
bool IsInstancePublished();
// Answers the requests waiting now (or arriving within timeoutMs) through the registered
// receiver, on the calling thread; the message loop calls it with 0 when the channel's
// descriptor is readable. It never waits on a sender: a connection that is slow or silent is
// read a little on each call and dropped after its time-out. Returns the number handled.
int ServeInstanceRequests(int32_t timeoutMs);
// The channel's descriptor for the message loop to wait on; -1 when not published.
int InstanceChannelFd();

}  // namespace qv
