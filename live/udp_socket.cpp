#include "live/udp_socket.h"

#include <cstring>
#include <string>
#include <system_error>
#include <utility>

#include "base/error.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace fragtally::live {
namespace {

// Holds 8 MB where the system allows it: several seconds of a busy stream.
constexpr int kReceiveBufferBytes = 8 * 1024 * 1024;

#ifdef _WIN32
using NativeHandle = SOCKET;
using AddressLength = int;

// Winsock is started once, before the first socket, and stopped at exit.
class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~WinsockSession() {
    if (started_) WSACleanup();
  }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;

 private:
  bool started_ = false;
};

void startSockets() { static WinsockSession session; }
int lastSocketError() { return WSAGetLastError(); }
bool tooLong(int error) { return error == WSAEMSGSIZE; }
std::string socketErrorText(int error) { return std::system_category().message(error); }
void closeHandle(NativeHandle handle) { closesocket(handle); }
bool makeNonBlocking(NativeHandle handle) {
  u_long on = 1;
  return ioctlsocket(handle, FIONBIO, &on) == 0;
}
#else
using NativeHandle = int;
using AddressLength = socklen_t;
constexpr NativeHandle INVALID_SOCKET = -1;

void startSockets() {}
int lastSocketError() { return errno; }
bool tooLong(int) { return false; }
std::string socketErrorText(int error) { return std::generic_category().message(error); }
void closeHandle(NativeHandle handle) { ::close(handle); }
bool makeNonBlocking(NativeHandle handle) {
  const int flags = fcntl(handle, F_GETFL, 0);
  return flags != -1 && fcntl(handle, F_SETFL, flags | O_NONBLOCK) == 0;
}
#endif

struct SystemAddress {
  sockaddr_storage storage{};
  AddressLength length = 0;
};

SystemAddress toSystem(const Endpoint& endpoint) {
  SystemAddress result;
  if (endpoint.address.v6) {
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_port = htons(endpoint.port);
    std::memcpy(&address.sin6_addr, endpoint.address.bytes.data(), 16);
    std::memcpy(&result.storage, &address, sizeof address);
    result.length = sizeof address;
  } else {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(endpoint.port);
    std::memcpy(&address.sin_addr, endpoint.address.bytes.data(), 4);
    std::memcpy(&result.storage, &address, sizeof address);
    result.length = sizeof address;
  }
  return result;
}

Endpoint fromSystem(const sockaddr_storage& storage) {
  Endpoint endpoint;
  if (storage.ss_family == AF_INET6) {
    sockaddr_in6 address;
    std::memcpy(&address, &storage, sizeof address);
    endpoint.address.v6 = true;
    std::memcpy(endpoint.address.bytes.data(), &address.sin6_addr, 16);
    endpoint.port = ntohs(address.sin6_port);
  } else if (storage.ss_family == AF_INET) {
    sockaddr_in address;
    std::memcpy(&address, &storage, sizeof address);
    std::memcpy(endpoint.address.bytes.data(), &address.sin_addr, 4);
    endpoint.port = ntohs(address.sin_port);
  }
  return endpoint;
}

template <class Handle>
NativeHandle native(Handle handle) {
  return static_cast<NativeHandle>(handle);
}

Error socketError(const std::string& what) {
  return Error(what + ": " + socketErrorText(lastSocketError()));
}

}  // namespace

UdpSocket UdpSocket::bound(const std::optional<IpAddress>& address, std::uint16_t port) {
  startSockets();
  Endpoint local;
  local.port = port;
  bool dualStack = false;
  NativeHandle handle = INVALID_SOCKET;
  if (address) {
    local.address = *address;
    handle = socket(address->v6 ? AF_INET6 : AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  } else {
    handle = socket(AF_INET6, SOCK_DGRAM, IPPROTO_UDP);
    if (handle != INVALID_SOCKET) {
      local.address.v6 = true;
      dualStack = true;
    } else {
      handle = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    }
  }
  const std::string where = address ? endpointText(local) : "port " + std::to_string(port);
  if (handle == INVALID_SOCKET) throw socketError("Cannot listen on " + where);
  UdpSocket result(static_cast<Handle>(handle));

  if (dualStack) {
    int off = 0;
    setsockopt(handle, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&off), sizeof off);
  }
  int bufferBytes = kReceiveBufferBytes;
  // A smaller buffer than asked for only shortens the bursts that are survived.
  setsockopt(handle, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bufferBytes), sizeof bufferBytes);
  const SystemAddress system = toSystem(local);
  if (bind(handle, reinterpret_cast<const sockaddr*>(&system.storage), system.length) != 0) {
    throw socketError("Cannot listen on " + where);
  }
  if (!makeNonBlocking(handle)) throw socketError("Cannot listen on " + where);
  return result;
}

UdpSocket UdpSocket::forSendingTo(const IpAddress& to) {
  startSockets();
  const NativeHandle handle = socket(to.v6 ? AF_INET6 : AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (handle == INVALID_SOCKET) throw socketError("Cannot open a UDP socket");
  return UdpSocket(static_cast<Handle>(handle));
}

UdpSocket::~UdpSocket() {
  if (handle_ != kNone) closeHandle(native(handle_));
}

UdpSocket::UdpSocket(UdpSocket&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}

UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
  if (this != &other) {
    if (handle_ != kNone) closeHandle(native(handle_));
    handle_ = std::exchange(other.handle_, kNone);
  }
  return *this;
}

Endpoint UdpSocket::localEndpoint() const {
  SystemAddress system;
  system.length = sizeof system.storage;
  if (getsockname(native(handle_), reinterpret_cast<sockaddr*>(&system.storage), &system.length) != 0) return {};
  return fromSystem(system.storage);
}

bool UdpSocket::waitForDatagram(std::chrono::milliseconds timeout) const {
#ifdef _WIN32
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(native(handle_), &readable);
  timeval limit{};
  limit.tv_sec = static_cast<long>(timeout.count() / 1000);
  limit.tv_usec = static_cast<long>(timeout.count() % 1000) * 1000;
  return select(0, &readable, nullptr, nullptr, &limit) > 0;
#else
  pollfd watched{};
  watched.fd = handle_;
  watched.events = POLLIN;
  return poll(&watched, 1, static_cast<int>(timeout.count())) > 0;
#endif
}

std::optional<UdpSocket::Received> UdpSocket::receive(char* buffer, std::size_t capacity) const {
  for (;;) {
    SystemAddress from;
    from.length = sizeof from.storage;
#ifdef _WIN32
    const int got = recvfrom(native(handle_), buffer, static_cast<int>(capacity), 0,
                             reinterpret_cast<sockaddr*>(&from.storage), &from.length);
#else
    const ssize_t got = recvfrom(handle_, buffer, capacity, MSG_TRUNC,
                                 reinterpret_cast<sockaddr*>(&from.storage), &from.length);
#endif
    if (got >= 0) {
      Received received;
      received.from = fromSystem(from.storage);
      // Linux with MSG_TRUNC gives the datagram's real size.
      received.truncated = static_cast<std::size_t>(got) > capacity;
      received.bytes = received.truncated ? capacity : static_cast<std::size_t>(got);
      return received;
    }
    const int error = lastSocketError();
    if (tooLong(error)) {
      Received received;
      received.from = fromSystem(from.storage);
      received.bytes = capacity;
      received.truncated = true;
      return received;
    }
#ifdef _WIN32
    // An ICMP "port unreachable" of an earlier send shows up here; not a datagram.
    if (error == WSAECONNRESET) continue;
#else
    if (error == EINTR) continue;
#endif
    return std::nullopt;
  }
}

bool UdpSocket::sendTo(const Endpoint& to, std::string_view bytes) const {
  const SystemAddress system = toSystem(to);
#ifdef _WIN32
  const int sent = sendto(native(handle_), bytes.data(), static_cast<int>(bytes.size()), 0,
                          reinterpret_cast<const sockaddr*>(&system.storage), system.length);
#else
  const ssize_t sent = sendto(handle_, bytes.data(), bytes.size(), 0,
                              reinterpret_cast<const sockaddr*>(&system.storage), system.length);
#endif
  return sent >= 0 && static_cast<std::size_t>(sent) == bytes.size();
}

}  // namespace fragtally::live
