#include "msgfiles.h"

#include "handles.h"
#include "lang.h"
#include "settings.h"

#include <algorithm>

std::wstring msgfilepath(const context_t *ctx)
{
    return inifolder(ctx) + (ctx->curki == kisses ? L"\\kisses.txt" : L"\\kickers.txt");
}

std::u16string ansiline(const char *bytes, size_t size)
{
    int n = MultiByteToWideChar(CP_ACP, 0, bytes, (int)size, nullptr, 0);
    std::u16string line(n > 0 ? n : 0, u'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, bytes, (int)size, reinterpret_cast<wchar_t *>(&line[0]), n);
    return line;
}

namespace {

// One byte past the limit tells the parser that the file goes on.
bool readmsgfile(const std::wstring &path, uint64_t size, std::string &bytes)
{
    vx::filehandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f)
        return false;
    bytes.resize((size_t)std::min<uint64_t>(size, MSGFILE_MAXBYTES) + 1);
    size_t have = 0;
    DWORD got = 0;
    while (have < bytes.size()) {
        if (!ReadFile(f.get(), &bytes[have], (DWORD)(bytes.size() - have), &got, nullptr))
            return false;
        if (!got)
            break;
        have += got;
    }
    bytes.resize(have);
    return true;
}

} // namespace

bool refreshmsgfile(const std::wstring &path, msgfilestate &state)
{
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &a) || (a.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        bool had = !state.file.messages.empty();
        state = msgfilestate{};
        return had;
    }
    uint64_t size = (uint64_t)a.nFileSizeHigh << 32 | a.nFileSizeLow;
    uint64_t written = (uint64_t)a.ftLastWriteTime.dwHighDateTime << 32 | a.ftLastWriteTime.dwLowDateTime;
    if (state.path == path && state.written == written && state.size == size)
        return false;
    std::string bytes;
    if (!readmsgfile(path, size, bytes))
        return false;   // being written, perhaps: the next message tries again
    state = {path, written, size, parsemsgfile(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(), ansiline),
             deck{}};
    return true;
}

bool msgtemplate(const std::wstring &path, bool kiss)
{
    const char *const lines[] = {
        kiss ? "# Your own compliments for kiss mode: one message a line, in any language."
             : "# Your own insults for kick mode: one message a line, in any language.",
        "# vexolind reads this file again whenever you save it; no restart needed.",
        "# Write \\n where a message should go on to a second line.",
        "# Lines that start with # are notes like these and are never shown; empty lines are skipped.",
        "# Your messages join the built-in ones. To show only yours, remove the # in front of !only:"};
    std::string text = "\xEF\xBB\xBF";
    for (const char *line : lines)
        text.append(tr(line)).append("\r\n");
    text.append("# !only\r\n");
    vx::filehandle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f)
        return false;
    DWORD put = 0;
    return WriteFile(f.get(), text.data(), (DWORD)text.size(), &put, nullptr) && put == text.size();
}
