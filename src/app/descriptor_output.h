#pragma once

#include <array>
#include <streambuf>

namespace tintwell {

/// A stream buffer that writes to a file descriptor (standard output, standard error) and
/// remembers why its first write failed, which an iostream on its own forgets. After a failure
/// every further write fails at once.
class DescriptorOutput : public std::streambuf
{
public:
    explicit DescriptorOutput(int fd);
    DescriptorOutput(const DescriptorOutput&) = delete;
    DescriptorOutput& operator=(const DescriptorOutput&) = delete;
    /// Writes what is still buffered.
    ~DescriptorOutput() override;

    /// The system's error number of the first failed write; 0 while every write succeeded.
    int error() const { return m_error; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    bool write_out(const char* data, std::size_t size);
    bool drain();

    int m_fd;
    int m_error = 0;
    std::array<char, 1 << 16> m_buffer;
};

} // namespace tintwell
