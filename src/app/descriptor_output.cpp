#include "app/descriptor_output.h"

#include "platform/files.h"

#include <cerrno>

namespace tintwell {

DescriptorOutput::DescriptorOutput(int fd)
    : m_fd(fd)
{
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

DescriptorOutput::~DescriptorOutput()
{
    drain();
}

bool DescriptorOutput::write_out(const char* data, std::size_t size)
{
    if (m_error != 0) {
        return false;
    }
    while (size > 0) {
        const long long n = platform::write_descriptor(m_fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            m_error = n < 0 ? errno : EIO;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool DescriptorOutput::drain()
{
    const auto pending = static_cast<std::size_t>(pptr() - pbase());
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return pending == 0 || write_out(m_buffer.data(), pending);
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type c)
{
    if (!drain()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize DescriptorOutput::xsputn(const char* s, std::streamsize n)
{
    const auto room = epptr() - pptr();
    if (n <= room) {
        traits_type::copy(pptr(), s, static_cast<std::size_t>(n));
        pbump(static_cast<int>(n));
        return n;
    }
    // A long text goes out in one write rather than through the buffer.
    if (!drain() || !write_out(s, static_cast<std::size_t>(n))) {
        return 0;
    }
    return n;
}

int DescriptorOutput::sync()
{
    return drain() ? 0 : -1;
}

} // namespace tintwell
