/* dismiss_box [SECONDS]: waits up to SECONDS (default 30) for a message box
 * on the desktop, prints its title, its text and whether it carries the stop
 * icon, one per line, then presses its button. Exits 0 when it dismissed a
 * box, 1 when none came. A Windows program: Wine runs it beside the program
 * whose box it closes. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

/* Control IDs of the parts of a message box. */
#define BOX_TEXT_ID 0xFFFF
#define BOX_ICON_ID 0x0014     /* Windows */
#define WINE_BOX_ICON_ID 0x0440 /* Wine */

static HWND found;

static BOOL CALLBACK checkWindow(HWND window, LPARAM unused) {
  char className[64];
  (void)unused;
  if (!IsWindowVisible(window)) return TRUE;
  if (GetClassNameA(window, className, sizeof className) == 0) return TRUE;
  if (strcmp(className, "#32770") != 0) return TRUE;
  found = window;
  return FALSE;
}

int main(int argc, char **argv) {
  int seconds = argc > 1 ? atoi(argv[1]) : 30;
  DWORD deadline = GetTickCount() + (DWORD)seconds * 1000;
  char title[512], text[2048];
  HWND icon;
  found = NULL;
  while (found == NULL && (LONG)(deadline - GetTickCount()) > 0) {
    EnumWindows(checkWindow, 0);
    if (found == NULL) Sleep(50);
  }
  if (found == NULL) {
    printf("no message box\n");
    return 1;
  }
  title[0] = text[0] = '\0';
  GetWindowTextA(found, title, sizeof title);
  GetDlgItemTextA(found, BOX_TEXT_ID, text, sizeof text);
  icon = GetDlgItem(found, BOX_ICON_ID);
  if (icon == NULL) icon = GetDlgItem(found, WINE_BOX_ICON_ID);
  printf("title: %s\ntext: %s\nicon: %s\n", title, text,
         icon != NULL && SendMessageA(icon, STM_GETICON, 0, 0) != 0 ? "yes" : "no");
  fflush(stdout);
  PostMessageA(found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return 0;
}
