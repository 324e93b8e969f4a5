#include "core/text.h"

void sink_put(TextSink& sink, char16_t c) {
  if (sink.pos < sink.capacity) {
    sink.buffer[sink.pos++] = c;
  } else {
    sink.pos = sink.capacity + 1;
  }
}

void sink_put(TextSink& sink, const char16_t* text, std::int64_t length) {
  if (sink.pos > sink.capacity || length > sink.capacity - sink.pos) {
    sink.pos = sink.capacity + 1;
    return;
  }
  for (std::int64_t i = 0; i < length; ++i) sink.buffer[sink.pos++] = text[i];
}

void sink_put_ascii(TextSink& sink, const char* text) {
  std::int64_t length = 0;
  while (text[length]) ++length;
  if (sink.pos > sink.capacity || length > sink.capacity - sink.pos) {
    sink.pos = sink.capacity + 1;
    return;
  }
  for (std::int64_t i = 0; i < length; ++i)
    sink.buffer[sink.pos++] = static_cast<char16_t>(text[i]);
}

std::int64_t sink_length_or_overflow_mark(const TextSink& sink) {
  if (!sink_overflowed(sink)) return sink.pos;
  set_status(MathStatus::BufferTooSmall);
  if (sink.capacity < 3) return 0;
  sink.buffer[0] = u'[';
  sink.buffer[1] = u'$';
  sink.buffer[2] = u']';
  return 3;
}
