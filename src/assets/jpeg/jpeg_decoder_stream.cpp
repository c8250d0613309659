// File-backed byte source for the JPEG decoder (stdio, binary mode).
#include "assets/jpeg/jpeg_decoder_stream.h"

#include <sys/stat.h>

jpeg_decoder_file_stream::~jpeg_decoder_file_stream()
{
    close();
}

void jpeg_decoder_file_stream::close()
{
    if (file_ != nullptr)
        std::fclose(file_);
    file_ = nullptr;
    end_of_file_ = false;
    error_ = false;
}

bool jpeg_decoder_file_stream::open(const char *file_name)
{
    close();
    if (file_name == nullptr)
        return false;
    file_ = std::fopen(file_name, "rb");
    if (file_ == nullptr)
        return false;
    // A folder opens on Linux but cannot be read: refuse it here, as a file
    // that does not open.
    struct stat info {
    };
    if (fstat(fileno(file_), &info) != 0 || S_ISDIR(info.st_mode)) {
        close();
        return false;
    }
    return true;
}

int jpeg_decoder_file_stream::read(std::uint8_t *buffer, int max_bytes, bool &end_of_stream)
{
    if (file_ == nullptr)
        return -1;
    if (end_of_file_) {
        end_of_stream = true;
        return 0;
    }
    if (error_)
        return -1;
    if (max_bytes <= 0)
        return 0;
    const std::size_t got = std::fread(buffer, 1, static_cast<std::size_t>(max_bytes), file_);
    if (got < static_cast<std::size_t>(max_bytes)) {
        if (std::ferror(file_)) {
            error_ = true;
            return -1;
        }
        end_of_file_ = true;
        end_of_stream = true;
    }
    return static_cast<int>(got);
}
