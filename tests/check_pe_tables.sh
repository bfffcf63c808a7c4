#!/bin/sh
# Fails unless the DLL exports exactly AMI_Close, AMI_GetWave and AMI_Init at
# ordinals 1, 2 and 3, imports from system DLLs only (no MinGW C, C++ or
# thread runtime), and imports DisableThreadLibraryCalls for its entry point.
# Usage: check_pe_tables.sh OBJDUMP LIBRARY.dll
objdump=$1
lib=$2
dump=$("$objdump" -p "$lib") || { echo "$objdump cannot read $lib"; exit 1; }

# "[Ordinal/Name Pointer] Table" rows give ordinal - base and the name.
exports=$(printf '%s\n' "$dump" | awk '
  /Export Address Table -- Ordinal Base/ { base = $NF; next }
  /^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
  names && /^$/ { names = 0 }
  names { idx = $0; sub(/^[ \t]*\[ */, "", idx); sub(/\].*/, "", idx);
          print $NF "@" (idx + base) }
  /^\tExport Address Table[ \t]+[0-9a-f]+$/ && slots == "" { slots = $NF }
  END { print "slots=" slots }' | sort | tr '\n' ' ')
if [ "$exports" != "AMI_Close@1 AMI_GetWave@2 AMI_Init@3 slots=00000003 " ]; then
  echo "$lib exports: $(printf "%s" "$exports" | cut -c1-300)"
  exit 1
fi

status=0
for dll in $(printf '%s\n' "$dump" | awk '/DLL Name:/ { print $NF }'); do
  case $(printf '%s' "$dll" | tr 'A-Z' 'a-z') in
    kernel32.dll|msvcrt.dll|ucrtbase.dll|api-ms-win-*.dll|ntdll.dll|user32.dll|advapi32.dll) ;;
    *) echo "$lib imports $dll, which is no system DLL"; status=1 ;;
  esac
done
if ! printf '%s\n' "$dump" | grep -q '[[:space:]]DisableThreadLibraryCalls$'; then
  echo "$lib does not import DisableThreadLibraryCalls"
  status=1
fi
[ $status -eq 0 ] && echo "$lib: exports $exports imports only system DLLs"
exit $status
