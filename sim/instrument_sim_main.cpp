// instrument-sim: the virtual instrument in front of the kernel's real HID
// stack, so that the production fieldwish (real hidapi, real hidraw) can talk
// to it. Control lines come on standard input (and on a FIFO with --control);
// each is answered with one line on standard output. See sim/README.md.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>

#include "sim/gadget_instrument.h"
#include "sim/instrument_model.h"
#include "sim/instrument_sim_main_support.h"
#include "sim/uhid_instrument.h"

namespace {

const char kUsage[] =
    "usage: instrument-sim --uhid|--gadget [--udc NAME] [--control FIFO] [--unplugged]\n"
    "  --uhid        present the instrument through /dev/uhid\n"
    "  --gadget      present it as a USB HID gadget (configfs) on a device controller\n"
    "  --udc NAME    the controller for --gadget (default: the first in /sys/class/udc)\n"
    "  --control F   also read control lines from the FIFO F (made when missing);\n"
    "                the end of standard input then no longer ends the program\n"
    "  --unplugged   start unplugged (send \"plug\" to attach)\n"
    "control lines: unplug, plug, silent ?on|off?, delay MS, hold, release, normal,\n"
    "               reset, status, last, quit\n";

volatile sig_atomic_t stopRequested = 0;
void requestStop(int) { stopRequested = 1; }

void say(const std::string &line) {
  fputs(line.c_str(), stdout);
  fputc('\n', stdout);
  fflush(stdout);
}

// Reads whole lines from a descriptor without blocking.
class LineReader {
 public:
  explicit LineReader(int fd) : fd_(fd) {}
  int fd() const { return fd_; }
  // False at end of input. Complete lines are appended to `lines`.
  bool pull(std::deque<std::string> &lines) {
    char chunk[512];
    ssize_t got = read(fd_, chunk, sizeof chunk);
    if (got == 0) return false;
    if (got < 0) return errno == EAGAIN || errno == EINTR;
    pending_.append(chunk, static_cast<size_t>(got));
    for (size_t end; (end = pending_.find('\n')) != std::string::npos;) {
      lines.push_back(pending_.substr(0, end));
      pending_.erase(0, end + 1);
    }
    // A line longer than any control line is cut off rather than hoarded.
    if (pending_.size() > 4096) pending_.clear();
    return true;
  }

 private:
  int fd_;
  std::string pending_;
};

// The instrument model behind one transport, with the link behaviours the
// control lines set: silent, late (delay), held back, unplugged.
template <typename Transport>
class Instrument {
 public:
  explicit Instrument(Transport &transport) : transport_(transport) {}

  // One control line; answers the reply line, or "" for none.
  std::string control(const std::string &line, bool &quit) {
    sim::ControlRequest request = sim::ParseControlLine(line);
    std::string error;
    switch (request.verb) {
      case sim::ControlRequest::kEmpty:
        return "";
      case sim::ControlRequest::kInvalid:
        return "error " + request.error;
      case sim::ControlRequest::kUnplug:
        if (!unplug(error)) return "error " + error;
        return "ok unplugged";
      case sim::ControlRequest::kPlug: {
        std::string node;
        if (!transport_.plug(node, error)) return "error " + error;
        return node.empty() ? "ok plugged" : "ok plugged " + node;
      }
      case sim::ControlRequest::kSilent:
        model_.setSilent(request.argument != 0);
        return model_.silent() ? "ok silent" : "ok replying";
      case sim::ControlRequest::kDelay:
        model_.setReplyDelay(static_cast<unsigned>(request.argument));
        return "ok delay " + std::to_string(request.argument);
      case sim::ControlRequest::kHold:
        held_ = true;
        return "ok holding";
      case sim::ControlRequest::kRelease:
        return "ok released " + std::to_string(release());
      case sim::ControlRequest::kNormal:
        model_.setSilent(false);
        model_.setReplyDelay(0);
        release();
        return "ok normal";
      case sim::ControlRequest::kReset:
        model_.reset();
        outbox_.clear();
        held_ = false;
        return "ok reset";
      case sim::ControlRequest::kStatus:
        return "ok plugged=" + std::to_string(transport_.plugged()) +
               " silent=" + std::to_string(model_.silent()) +
               " delay=" + std::to_string(model_.replyDelay()) + " held=" + std::to_string(held_) +
               " queued=" + std::to_string(model_.queuedReplies() + outbox_.size()) +
               " commands=" + std::to_string(model_.commandsReceived());
      case sim::ControlRequest::kLast:
        return "ok " + sim::HexBytes(model_.lastReceived().data(), sim::kReportSize);
      case sim::ControlRequest::kQuit:
        quit = true;
        unplug(error);
        return "ok bye";
    }
    return "error unhandled";
  }

  // Takes whatever the host sent.
  bool receive(std::string &error) {
    sim::Report report;
    while (transport_.receive(report, error)) {
      // A reply's delay starts when it becomes the oldest one waiting.
      if (model_.queuedReplies() == 0) lastTick_ = sim::MonotonicMs();
      model_.receive(report.data(), report.size());
    }
    return error.empty();
  }

  // Lets time pass for delayed replies and sends what is due.
  bool deliver(std::string &error) {
    uint64_t now = sim::MonotonicMs();
    if (!held_) {
      // One poll of the model is one millisecond here.
      uint64_t elapsed = now - lastTick_;
      model_.advance(static_cast<unsigned>(elapsed > UINT_MAX ? UINT_MAX : elapsed));
      sim::Report reply;
      while (model_.takeDue(reply)) outbox_.push_back(reply);
    }
    lastTick_ = now;
    return flush(error);
  }

  // How long poll() may sleep: until the next delayed reply falls due.
  int waitMs() const {
    if (held_ || model_.queuedReplies() == 0) return -1;
    return 1;
  }

  bool wantsWritable() const { return !outbox_.empty(); }

 private:
  bool unplug(std::string &error) {
    if (!transport_.unplug(error)) return false;
    // Replies in flight are lost with the device.
    model_.dropQueuedReplies();
    outbox_.clear();
    return true;
  }

  size_t release() {
    held_ = false;
    size_t count = 0;
    sim::Report reply;
    for (;;) {
      model_.advance(UINT_MAX);
      if (!model_.takeDue(reply)) break;
      outbox_.push_back(reply);
      ++count;
    }
    std::string error;
    flush(error);
    return count;
  }

  bool flush(std::string &error) {
    while (!outbox_.empty()) {
      if (!transport_.send(outbox_.front(), error)) return error.empty();
      outbox_.pop_front();
    }
    return true;
  }

  Transport &transport_;
  sim::InstrumentModel model_;
  std::deque<sim::Report> outbox_;
  bool held_ = false;
  uint64_t lastTick_ = sim::MonotonicMs();
};

struct Options {
  enum { kNone, kUhid, kGadget } transport = kNone;
  std::string udc;
  std::string controlFifo;
  bool startUnplugged = false;
};

bool parseOptions(int argc, char **argv, Options &options) {
  for (int i = 1; i < argc; ++i) {
    std::string word = argv[i];
    if (word == "--uhid") {
      options.transport = Options::kUhid;
    } else if (word == "--gadget") {
      options.transport = Options::kGadget;
    } else if (word == "--udc" && i + 1 < argc) {
      options.udc = argv[++i];
    } else if (word == "--control" && i + 1 < argc) {
      options.controlFifo = argv[++i];
    } else if (word == "--unplugged") {
      options.startUnplugged = true;
    } else {
      return false;
    }
  }
  return options.transport != Options::kNone;
}

// A FIFO opened for reading that never reports end of input: this process
// holds a writer on it too.
int openControlFifo(const std::string &path, int &keepAlive) {
  if (mkfifo(path.c_str(), 0600) != 0 && errno != EEXIST) return -1;
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  keepAlive = open(path.c_str(), O_WRONLY | O_CLOEXEC);
  return fd;
}

template <typename Transport>
int serve(Transport &transport, const Options &options) {
  Instrument<Transport> instrument(transport);
  std::string error;
  if (!options.startUnplugged) {
    std::string node;
    if (!transport.plug(node, error)) {
      fprintf(stderr, "instrument-sim: %s\n", error.c_str());
      return 1;
    }
    say(node.empty() ? "ready" : "ready " + node);
  } else {
    say("ready unplugged");
  }

  fcntl(STDIN_FILENO, F_SETFL, fcntl(STDIN_FILENO, F_GETFL) | O_NONBLOCK);
  LineReader input(STDIN_FILENO);
  bool inputOpen = true;
  int fifoWriter = -1;
  int fifo = -1;
  if (!options.controlFifo.empty()) {
    fifo = openControlFifo(options.controlFifo, fifoWriter);
    if (fifo < 0) {
      fprintf(stderr, "instrument-sim: cannot open the control FIFO %s: %s\n",
              options.controlFifo.c_str(), strerror(errno));
      return 1;
    }
  }
  LineReader fifoInput(fifo);

  int status = 0;
  bool quit = false;
  std::deque<std::string> lines;
  while (!quit && !stopRequested) {
    struct pollfd fds[3];
    nfds_t count = 0;
    int device = transport.fd();
    if (device >= 0) {
      fds[count++] = {device, static_cast<short>(POLLIN | (instrument.wantsWritable() ? POLLOUT : 0)), 0};
    }
    int inputSlot = -1, fifoSlot = -1;
    if (inputOpen) {
      inputSlot = static_cast<int>(count);
      fds[count++] = {STDIN_FILENO, POLLIN, 0};
    }
    if (fifo >= 0) {
      fifoSlot = static_cast<int>(count);
      fds[count++] = {fifo, POLLIN, 0};
    }
    int ready = poll(fds, count, instrument.waitMs());
    if (ready < 0 && errno != EINTR) {
      perror("instrument-sim: poll");
      status = 1;
      break;
    }
    if (device >= 0 && ready > 0 && (fds[0].revents & POLLIN) && !instrument.receive(error)) {
      fprintf(stderr, "instrument-sim: %s\n", error.c_str());
      error.clear();
    }
    if (!instrument.deliver(error)) {
      fprintf(stderr, "instrument-sim: %s\n", error.c_str());
      error.clear();
    }
    if (inputSlot >= 0 && ready > 0 && (fds[inputSlot].revents & (POLLIN | POLLHUP))) {
      if (!input.pull(lines)) {
        inputOpen = false;
        // Without a FIFO, the end of standard input is the end of the run.
        if (fifo < 0) quit = true;
      }
    }
    if (fifoSlot >= 0 && ready > 0 && (fds[fifoSlot].revents & POLLIN)) fifoInput.pull(lines);
    while (!lines.empty() && !stopRequested) {
      std::string reply = instrument.control(lines.front(), quit);
      lines.pop_front();
      if (!reply.empty()) say(reply);
      if (quit) break;
    }
  }
  std::string ignored;
  transport.unplug(ignored);
  if (fifo >= 0) close(fifo);
  if (fifoWriter >= 0) close(fifoWriter);
  return status;
}

}  // namespace

int main(int argc, char **argv) {
  Options options;
  if (!parseOptions(argc, argv, options)) {
    fputs(kUsage, stderr);
    return 2;
  }
  struct sigaction action;
  memset(&action, 0, sizeof action);
  action.sa_handler = requestStop;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);

  std::string error;
  if (options.transport == Options::kUhid) {
    sim::UhidInstrument uhid;
    if (!uhid.open(error)) {
      fprintf(stderr, "instrument-sim: %s\n", error.c_str());
      return 1;
    }
    return serve(uhid, options);
  }
  sim::GadgetInstrument gadget;
  if (!gadget.create(options.udc, error)) {
    fprintf(stderr, "instrument-sim: %s\n", error.c_str());
    return 1;
  }
  return serve(gadget, options);
}
