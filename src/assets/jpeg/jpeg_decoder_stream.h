// Byte sources for the JPEG decoder.
//
// jpeg_decoder_stream is the abstract source the decoder reads from; the
// decoder never owns it. jpeg_decoder_file_stream reads a file with stdio.
// The decoder calls on_attach() when it starts using a stream and
// on_detach() once when it stops (on error or at its destruction).
//
// Depends on: the C library only. Limits: a stream serves one decoder at a
// time; not thread-safe.
#pragma once

#include <cstdint>
#include <cstdio>

class jpeg_decoder_stream
{
  public:
    virtual ~jpeg_decoder_stream() = default;

    // Places up to max_bytes bytes into buffer. Returns the count (0 to
    // max_bytes) or -1 on a read error; sets end_of_stream to true once the
    // source is exhausted (possibly together with a non-zero count).
    virtual int read(std::uint8_t *buffer, int max_bytes, bool &end_of_stream) = 0;

    virtual void on_attach() {}
    virtual void on_detach() {}
};

class jpeg_decoder_file_stream final : public jpeg_decoder_stream
{
  public:
    jpeg_decoder_file_stream() = default;
    ~jpeg_decoder_file_stream() override;
    jpeg_decoder_file_stream(const jpeg_decoder_file_stream &) = delete;
    jpeg_decoder_file_stream &operator=(const jpeg_decoder_file_stream &) = delete;

    // Closes a file that is still open, clears both flags and opens
    // file_name for binary reading. Returns whether it opened; a folder
    // does not.
    bool open(const char *file_name);
    void close();
    bool is_open() const { return file_ != nullptr; }

    // No file: -1. After the end: sets end_of_stream, returns 0. After a
    // read error: -1 (sticky).
    int read(std::uint8_t *buffer, int max_bytes, bool &end_of_stream) override;

  private:
    std::FILE *file_ = nullptr;
    bool end_of_file_ = false;
    bool error_ = false;
};
