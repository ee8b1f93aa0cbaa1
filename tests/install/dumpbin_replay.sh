#!/bin/sh
# dumpbin for recorded listings: "dumpbin /nologo /dependents LISTING" prints the listing as
# Visual Studio's dumpbin printed it for the module it was made from.
exec cat "$3"
