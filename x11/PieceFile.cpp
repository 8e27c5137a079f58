#include "x11/PieceFile.h"

#include "x11/BuiltInImage.h"
#include "x11/PixelCanvas.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

FileByteSource::~FileByteSource()
{
    if (m_fd >= 0)
        close(m_fd);
}

bool FileByteSource::Open(const std::string& path, std::int64_t limit, std::string& why)
{
    // Not blocking: a FIFO would wait for a writer before fstat could say what it is.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        why = errno == ENOENT ? "no such file" : std::string("cannot be opened: ") + std::strerror(errno);
        return false;
    }
    struct stat st{};
    if (fstat(fd, &st) != 0) {
        why = std::string("cannot be read: ") + std::strerror(errno);
        close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        why = S_ISDIR(st.st_mode)                          ? "is a folder, not a piece image"
              : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? "is a device, not a piece image file"
              : S_ISFIFO(st.st_mode)                       ? "is a pipe, not a piece image file"
                                                           : "is not a regular file";
        close(fd);
        return false;
    }
    if (m_fd >= 0)
        close(m_fd);
    m_fd = fd;
    m_pos = 0;
    m_fullSize = st.st_size;
    m_clipped = st.st_size > limit;
    m_size = m_clipped ? limit : st.st_size;
    m_readError.clear();
    return true;
}

bool FileByteSource::Seek(std::int64_t position)
{
    if (position < 0)
        return false;
    m_pos = position;
    return true;
}

std::size_t FileByteSource::Read(void* buffer, std::size_t count)
{
    std::size_t done = 0;
    while (done < count && m_pos < m_size) {
        const std::int64_t left = m_size - m_pos;
        const std::size_t want = static_cast<std::uint64_t>(left) < count - done ? static_cast<std::size_t>(left)
                                                                                 : count - done;
        const ssize_t n = pread(m_fd, static_cast<char*>(buffer) + done, want, static_cast<off_t>(m_pos));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // Shorter than fstat said (cut while we read), or an I/O error.
            m_readError = n < 0 ? std::strerror(errno) : "the file became shorter while it was read";
            break;
        }
        done += static_cast<std::size_t>(n);
        m_pos += n;
    }
    return done;
}

bool LoadPieceFile(PixelCanvas& board, const std::string& path, std::string& why)
{
    if (path.empty()) {
        MemoryByteSource source(kBuiltInPieceImage, kBuiltInPieceImageSize);
        return board.LoadImage(source, why);
    }
    FileByteSource file;
    if (!file.Open(path, kPieceFileLimit, why))
        return false;
    if (board.LoadImage(file, why))
        return true;
    if (file.Clipped())
        why = "is " + std::to_string(file.FullSize() >> 20) + " MB; velomass reads piece images of up to " +
              std::to_string(kPieceFileLimit >> 20) + " MB";
    else if (!file.ReadError().empty())
        why = "cannot be read: " + file.ReadError();
    return false;
}
