# Sourced: sets KESTREL_TEST_PRESET to the Windows build whose programs this
# machine can run under Wine: win32 where 32-bit code runs, else win64.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  KESTREL_TEST_PRESET=win32
else
  KESTREL_TEST_PRESET=win64
fi
