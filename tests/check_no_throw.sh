#!/bin/sh
# The text library never throws: none of its objects may call a throwing
# operator new, raise an exception or use a library helper that raises one
# (the nothrow operator new of a sort's scratch buffer is allowed).
# usage: check_no_throw.sh NM OBJECT...
nm=$1
shift
throwing=' U (_Znwm|_Znam|_Znwj|_Znaj|__cxa_throw|__cxa_allocate_exception|_ZSt[0-9]+__throw_)'
bad=$("$nm" -uA "$@" | grep -E "$throwing" | grep -v 'RKSt9nothrow_t')
if [ -n "$bad" ]; then
  echo "throwing calls in the text library:"
  echo "$bad"
  exit 1
fi
