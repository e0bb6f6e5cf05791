#pragma once
// The library's entry points for picture files. Loading finds the format from the file's first
// bytes (never from its name); saving picks the writer from the name's extension. Neither lets an
// exception through: every failure is a negative result, and its message stays available as the
// last load or save error text (Windows-1252).

#include <string>
#include <string_view>

class CDataStream;
class CGraphicsImage;

// Results of LoadGraphicsFile and LoadGraphicsStream.
inline constexpr int kLoadOk = 0;
inline constexpr int kLoadFailed = -1;         // a library exception of a general kind
inline constexpr int kLoadUnknownFormat = -2;
inline constexpr int kLoadCannotOpen = -3;
inline constexpr int kLoadTooBig = -4;
inline constexpr int kLoadWrongColor = -5;
inline constexpr int kLoadNoMemory = -6;
inline constexpr int kLoadUnexpected = -7;      // any other exception

// Results of SaveGraphicsFile.
inline constexpr int kSaveOk = 0;
inline constexpr int kSaveFailed = -1;
inline constexpr int kSaveUnknownFormat = -2;
inline constexpr int kSaveUnexpected = -4;

// commentOut, when given, is emptied first and receives the picture's comment on success.
int LoadGraphicsFile(std::string_view fileName, CGraphicsImage& image, std::string* commentOut = nullptr);
// The same on a stream already open for reading, starting at its current position.
int LoadGraphicsStream(CDataStream& stream, CGraphicsImage& image, std::string* commentOut = nullptr);
// comment, when given and not empty, is stored with the picture where the format has a place for it.
// An existing file is replaced only once the whole picture is written; after a failure it is as it
// was. A picture with alpha keeps it where the format can hold it (PNG: RGBA, or a tRNS chunk for
// an indexed picture whose palette marks transparent entries; GIF: the transparent entry of an
// indexed picture).
int SaveGraphicsFile(std::string_view fileName, const CGraphicsImage& image, const char* comment = nullptr);

// The message of the last failed load (emptied by a successful one) and of the last failed save,
// each of the calling thread.
std::string_view LoadErrorText();
std::string_view SaveErrorText();
