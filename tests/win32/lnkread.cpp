// lnkread OUTPUT LINK...: loads each shell link file through the Windows
// shell's own link object (IPersistFile::Load) and writes what its
// IShellLinkW getters answer, as UTF-8 lines, to OUTPUT:
//   link: LINK
//   path: ...            (or "error: ..." when the file does not load)
//   description: ...
//   workingDirectory: ...
//   arguments: ...
//   iconLocation: ...
//   iconIndex: N
// and an empty line after each link. A path starting with '/' is taken as a
// path of the Unix file system (Wine's drive Z:). Exit status 0 when every
// link loaded, 1 when one did not, 2 for a wrong call.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

// Units of every getter's buffer; the link fields are far shorter.
const int kTextUnits = 4096;

std::string utf8(const wchar_t *text) {
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], bytes, nullptr, nullptr);
  out.resize(static_cast<size_t>(bytes - 1));
  return out;
}

std::wstring windowsPath(const wchar_t *path) {
  std::wstring out = path;
  if (!out.empty() && out[0] == L'/') {
    for (wchar_t &c : out) {
      if (c == L'/') c = L'\\';
    }
    out = L"Z:" + out;
  }
  return out;
}

void line(FILE *out, const char *name, const wchar_t *value) {
  std::fprintf(out, "%s: %s\n", name, utf8(value).c_str());
}

// Writes the fields of one link; false when it cannot be loaded.
bool readLink(FILE *out, const wchar_t *path) {
  std::fprintf(out, "link: %s\n", utf8(path).c_str());
  IShellLinkW *link = nullptr;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    reinterpret_cast<void **>(&link));
  if (FAILED(result)) {
    std::fprintf(out, "error: CoCreateInstance 0x%08lx\n\n", static_cast<unsigned long>(result));
    return false;
  }
  IPersistFile *file = nullptr;
  result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file));
  if (FAILED(result)) {
    std::fprintf(out, "error: QueryInterface 0x%08lx\n\n", static_cast<unsigned long>(result));
    link->Release();
    return false;
  }
  const std::wstring windows = windowsPath(path);
  result = file->Load(windows.c_str(), STGM_READ);
  bool loaded = SUCCEEDED(result);
  if (!loaded) {
    std::fprintf(out, "error: Load 0x%08lx\n", static_cast<unsigned long>(result));
  } else {
    wchar_t text[kTextUnits];
    text[0] = 0;
    link->GetPath(text, kTextUnits, nullptr, SLGP_RAWPATH);
    line(out, "path", text);
    text[0] = 0;
    link->GetDescription(text, kTextUnits);
    line(out, "description", text);
    text[0] = 0;
    link->GetWorkingDirectory(text, kTextUnits);
    line(out, "workingDirectory", text);
    text[0] = 0;
    link->GetArguments(text, kTextUnits);
    line(out, "arguments", text);
    text[0] = 0;
    int index = 0;
    link->GetIconLocation(text, kTextUnits, &index);
    line(out, "iconLocation", text);
    std::fprintf(out, "iconIndex: %d\n", index);
  }
  std::fprintf(out, "\n");
  file->Release();
  link->Release();
  return loaded;
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: lnkread OUTPUT LINK...\n");
    return 2;
  }
  FILE *out = _wfopen(argv[1], L"wb");
  if (out == nullptr) {
    std::fprintf(stderr, "lnkread: cannot create the output file\n");
    return 2;
  }
  CoInitialize(nullptr);
  bool all = true;
  for (int i = 2; i < argc; ++i) all = readLink(out, argv[i]) && all;
  CoUninitialize();
  return std::fclose(out) == 0 && all ? 0 : 1;
}
