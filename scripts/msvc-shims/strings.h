// Visual Studio has no <strings.h>: code that needs it would not build there.
#error "<strings.h> is not part of the Windows SDK or the Universal CRT"
