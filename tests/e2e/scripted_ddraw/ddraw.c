/* A stand-in ddraw.dll for the Wine tests: DirectDrawEnumerateA reports the devices
   listed in the file named by VAREK_DDRAW_SCRIPT, one per line, in file order:
       GUID<TAB>driver name<TAB>description
   GUID is 32 hex digits, the GUID's 16 bytes in memory order, or "-" for the default
   display driver (reported without a GUID). A line "fail" makes the call return an
   error at that point; a line "sleep N" makes it wait N ms there, as a slow driver does.
   Wine loads it instead of its own when it lies beside the exe and the per-program key
   HKCU\Software\Wine\AppDefaults\<exe name>\DllOverrides says "ddraw" = "native,builtin",
   which the test harness and the benchmark driver write. */
#include <windows.h>
#include <stdlib.h>
#include <string.h>

typedef BOOL(CALLBACK *EnumCallback)(GUID *guid, LPSTR description, LPSTR name, LPVOID context);

#define SCRIPTED_FAILURE ((HRESULT)0x80004005L) /* E_FAIL */

static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

static BOOL ParseGuid(const char *text, GUID *guid) {
    unsigned char *bytes = (unsigned char *)guid;
    int i;
    for (i = 0; i < 16; ++i) {
        int high = HexValue(text[2 * i]), low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return FALSE;
        bytes[i] = (unsigned char)(high * 16 + low);
    }
    return TRUE;
}

/* The whole script file, zero-terminated, or NULL. */
static char *ReadScript(void) {
    char path[MAX_PATH];
    HANDLE file;
    DWORD size, read = 0;
    char *text;
    if (!GetEnvironmentVariableA("VAREK_DDRAW_SCRIPT", path, sizeof path)) return NULL;
    file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return NULL;
    size = GetFileSize(file, NULL);
    text = (char *)malloc(size + 1);
    if (text != NULL && ReadFile(file, text, size, &read, NULL)) {
        text[read] = '\0';
    } else {
        free(text);
        text = NULL;
    }
    CloseHandle(file);
    return text;
}

__declspec(dllexport) HRESULT WINAPI DirectDrawEnumerateA(EnumCallback callback, LPVOID context) {
    char *script = ReadScript();
    char *line = script;
    HRESULT result = S_OK;
    while (line != NULL && *line != '\0') {
        char *end = strchr(line, '\n');
        char *name, *description;
        GUID guid;
        if (end != NULL) *end = '\0';
        if (end != NULL && end > line && end[-1] == '\r') end[-1] = '\0';
        if (strcmp(line, "fail") == 0) {
            result = SCRIPTED_FAILURE;
            break;
        }
        if (strncmp(line, "sleep ", 6) == 0) Sleep((DWORD)atol(line + 6));
        name = strchr(line, '\t');
        description = name != NULL ? strchr(name + 1, '\t') : NULL;
        if (description != NULL) {
            *name++ = '\0';
            *description++ = '\0';
            if (strcmp(line, "-") == 0) {
                if (!callback(NULL, description, name, context)) break;
            } else if (ParseGuid(line, &guid)) {
                if (!callback(&guid, description, name, context)) break;
            }
        }
        line = end != NULL ? end + 1 : NULL;
    }
    free(script);
    return result;
}
