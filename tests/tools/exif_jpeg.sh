#!/bin/sh
# exif_jpeg.sh IN.jpg ORIENTATION II|MM OUT.jpg: IN with an Exif segment holding the orientation tag
# (1 to 8) in the given byte order right after its first marker, as cameras write it. ImageMagick's
# -orient sets no tag in a JPEG it writes.
in=$1 value=$(printf '%03o' "$2") order=$3 out=$4
{
  printf '\377\330\377\341\000\042Exif\000\000'
  if [ "$order" = II ]; then
    printf "II*\\000\\010\\000\\000\\000\\001\\000\\022\\001\\003\\000\\001\\000\\000\\000\\$value\\000\\000\\000"
  else
    printf "MM\\000*\\000\\000\\000\\010\\000\\001\\001\\022\\000\\003\\000\\000\\000\\001\\000\\$value\\000\\000"
  fi
  printf '\000\000\000\000'
  tail -c +3 "$in"
} >"$out"
