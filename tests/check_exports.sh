#!/bin/sh
# Fails unless the shared object defines exactly AMI_Close, AMI_GetWave and
# AMI_Init as dynamic symbols and needs no C++ runtime of the host.
lib=$1
defined=$(nm -D --defined-only "$lib" | awk '{print $NF}' | sort | tr '\n' ' ')
if [ "$defined" != "AMI_Close AMI_GetWave AMI_Init " ]; then
  echo "$lib exports: $defined"
  exit 1
fi
if objdump -p "$lib" | grep -E 'NEEDED.*(libstdc\+\+|libgcc_s)'; then
  echo "$lib needs the host's C++ runtime"
  exit 1
fi
echo "$lib: exports $defined"
