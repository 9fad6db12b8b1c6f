# Sourced by the scripts that run the Windows build. Prints the command that
# starts Wine's 64-bit loader, and fails when there is none: Debian puts it
# on the PATH as wine64 or wine, or only under /usr/lib/wine.
wine_command() {
  command -v wine64 || command -v wine || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; }
}
