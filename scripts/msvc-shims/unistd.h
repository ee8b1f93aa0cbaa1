// Visual Studio has no <unistd.h>: code that needs it would not build there.
#error "<unistd.h> is not part of the Windows SDK or the Universal CRT"
