// The language server's loop: messages in, answers out, and the documents
// checked whenever no message waits.
#include "lsp/run_lsp.h"

#include <new>

#include "lsp/lsp_texts.h"
#include "lsp/message_stream.h"
#include "lsp/server.h"

namespace skewquad {

int run_lsp() {
  using namespace lsp;
  bool written = true;
  Server server(
      [&written](const std::string& message) { written = write_message(message) && written; });
  MessageReader reader;
  std::string body;
  while (!server.exited()) {
    const Frame frame = reader.next(body);
    if (frame == Frame::kEnd) break;
    try {
      switch (frame) {
        case Frame::kMessage:
          server.handle(std::move(body));
          break;
        case Frame::kMalformed:
          server.show_message(text::kMalformedFrame);
          break;
        case Frame::kTooLarge:
          server.show_message(text::kTooLargeFrame);
          break;
        case Frame::kEnd:
          break;
      }
      if (!reader.more_waiting()) server.check_changed();
    } catch (const std::bad_alloc&) {
      server.show_message("skewquad: out of memory");
    } catch (const Json::exception&) {
      server.show_message(text::kInvalidParams);
    }
  }
  return server.exit_status();
}

}  // namespace skewquad
