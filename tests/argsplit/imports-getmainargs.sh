#!/bin/sh
# Succeeds when the program imports __getmainargs from msvcrt.dll:
#   imports-getmainargs.sh OBJDUMP PROGRAM.exe
objdump=$1
program=$2
dll=$("$objdump" -p "$program" | awk '/DLL Name:/ { dll = $3 } $NF == "__getmainargs" { print dll }')
echo "__getmainargs imported from: ${dll:-nothing}"
[ "$dll" = msvcrt.dll ]
