#!/bin/sh
# makeshow_pictures.sh FOLDER: the pictures makeshow_test reads, made by ImageMagick: three of different
# formats and shapes and a file that is none; one photo stored in each of the eight Exif orientations;
# forty pictures in subfolders among files that are not pictures; an empty folder.
set -e
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$1" && cd "$1"
convert -size 200x75 xc:#C04020 xc:#2040C0 -append -type TrueColor BMP3:small.bmp
convert -size 1200x1500 xc:#30A050 xc:#E0D040 +append -quality 95 big.jpg
convert -size 300x500 xc:#8060F0 xc:#F0A0A0 -append tall.png
echo junk >junk.jpg
mkdir -p empty

# Upright, the photo is red and green over blue and yellow; each file stores it so that its tag turns it
# back (the even ones in Motorola byte order, the odd ones in Intel's).
rm -rf orient && mkdir orient
convert \( -size 150x100 xc:#E02020 xc:#20C020 +append \) \( -size 150x100 xc:#2020E0 xc:#E0E020 +append \) \
        -append upright.png
n=1
for turn in "" "-flop" "-rotate 180" "-flip" "-transpose" "-rotate -90" "-transverse" "-rotate 90"; do
  # shellcheck disable=SC2086
  convert upright.png $turn -quality 95 stored.jpg
  order=II; [ $((n % 2)) -eq 0 ] && order=MM
  sh "$here/exif_jpeg.sh" stored.jpg $n $order orient/o$n.jpg
  n=$((n + 1))
done
rm stored.jpg

# Picture i (0 to 39) is one colour, red 6i and green 255 - 6i, and sorts as the i-th by path: ten at
# the top, ten in a\ (the first beside it), ten in a\deep\ (one not named .jpg), ten in a folder whose
# name's second byte in code page 932 is a backslash. A text file named like a photo is no picture.
rm -rf many && mkdir -p many/a/deep many/表
i=0
while [ $i -lt 40 ]; do
  colour="rgb($((6 * i)),$((255 - 6 * i)),128)"
  case $((i / 10)) in
    0) out=many/0$i.bmp; convert -size 40x30 xc:"$colour" -type TrueColor BMP3:$out ;;
    1) convert -size 40x30 xc:"$colour" many/a/$i.png ;;
    2) convert -size 40x30 xc:"$colour" -quality 100 many/a/deep/$i.jpg ;;
    3) convert -size 40x30 xc:"$colour" many/表/$i.gif ;;
  esac
  i=$((i + 1))
done
mv many/a/deep/25.jpg many/a/deep/25.photo
mv many/a/10.png many/a.png  # before a\ by its bytes ("." before "\"), though a listing may give the folder first
echo "holiday notes" >many/表/notes.jpg
