/* fieldwish::capture, a Tcl package for Windows: the photo image format
 * "window", which reads what a Tk window shows on the screen, as the Img
 * package's img::window does elsewhere:
 *     image create photo -format window -data .path
 * The window is read through its device context (GDI); it must be mapped
 * and drawn. */
#include <windows.h>
#include <tcl.h>
#include <tk.h>
#include <tkPlatDecls.h>

#include <stdlib.h>

/* The window named by data, or NULL with a message in interp. */
static Tk_Window namedWindow(Tcl_Interp *interp, Tcl_Obj *data) {
  Tk_Window main = Tk_MainWindow(interp);
  if (main == NULL) return NULL;
  Tk_Window window = Tk_NameToWindow(interp, Tcl_GetString(data), main);
  if (window != NULL && (!Tk_IsMapped(window) || Tk_WindowId(window) == None)) {
    Tcl_SetObjResult(interp, Tcl_ObjPrintf("window \"%s\" is not on the screen", Tcl_GetString(data)));
    return NULL;
  }
  return window;
}

static int captureMatch(Tcl_Obj *data, Tcl_Obj *format, int *width, int *height, Tcl_Interp *interp) {
  (void)format;
  Tk_Window window = namedWindow(interp, data);
  if (window == NULL) return 0;
  *width = Tk_Width(window);
  *height = Tk_Height(window);
  return 1;
}

static int captureRead(Tcl_Interp *interp, Tcl_Obj *data, Tcl_Obj *format, Tk_PhotoHandle photo, int destX,
                       int destY, int width, int height, int srcX, int srcY) {
  (void)format;
  Tk_Window window = namedWindow(interp, data);
  if (window == NULL) return TCL_ERROR;
  HWND hwnd = Tk_GetHWND(Tk_WindowId(window));
  HDC screen = GetDC(hwnd);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info;
  ZeroMemory(&info, sizeof info);
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height; /* rows from the top */
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  unsigned char *pixels = NULL;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, (void **)&pixels, NULL, 0);
  int result = TCL_ERROR;
  if (bitmap != NULL) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, width, height, screen, srcX, srcY, SRCCOPY)) {
      GdiFlush();
      /* GDI leaves the fourth byte undefined: opaque. */
      for (int i = 0; i < width * height; ++i) pixels[4 * i + 3] = 255;
      Tk_PhotoImageBlock block;
      block.pixelPtr = pixels;
      block.width = width;
      block.height = height;
      block.pitch = 4 * width;
      block.pixelSize = 4;
      block.offset[0] = 2; /* blue, green, red in memory */
      block.offset[1] = 1;
      block.offset[2] = 0;
      block.offset[3] = 3;
      result = Tk_PhotoPutBlock(interp, photo, &block, destX, destY, width, height, TK_PHOTO_COMPOSITE_SET);
    } else {
      Tcl_SetObjResult(interp, Tcl_ObjPrintf("cannot read window \"%s\" (error %lu)", Tcl_GetString(data),
                                             (unsigned long)GetLastError()));
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
  } else {
    Tcl_SetObjResult(interp, Tcl_NewStringObj("cannot make a bitmap for the window's picture", -1));
  }
  DeleteDC(memory);
  ReleaseDC(hwnd, screen);
  return result;
}

static Tk_PhotoImageFormat captureFormat = {
    "window", NULL, captureMatch, NULL, captureRead, NULL, NULL, NULL,
};

__declspec(dllexport) int Fieldwishcapture_Init(Tcl_Interp *interp) {
  if (Tcl_InitStubs(interp, "8.6", 0) == NULL || Tk_InitStubs(interp, "8.6", 0) == NULL) return TCL_ERROR;
  Tk_CreatePhotoImageFormat(&captureFormat);
  return Tcl_PkgProvide(interp, "fieldwish::capture", "1.0");
}
