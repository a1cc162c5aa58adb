#!/usr/bin/env bash
# Makes the fuzz targets' seed corpora with tools that share no code with ours:
# ImageMagick and ffmpeg for pictures, ffmpeg and lame for MP3 frames, mutagen
# for ID3 tags, iconv for text encodings, xmllint for XML. The seeds are
# committed; run this only to remake them (it needs imagemagick, ffmpeg, lame,
# python3-mutagen, libxml2-utils and iconv, which the set-up does not install).
#   bash scripts/make-fuzz-seeds.sh
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tests=$root/tests
# ImageMagick 6 under its own name: another program may stand in for "convert".
magick=$(command -v convert-im6.q16 || command -v convert)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fresh() {  # empties and returns a corpus folder
  rm -rf "$1" && mkdir -p "$1" && echo "$1"
}

# Text: one short study text (English and Japanese) in every encoding the reader knows.
dir=$(fresh "$tests/text/corpus/text_fuzz")
printf 'Listen to the sentence.\r\n文を聞いて、繰り返してください。\r\nｶﾀｶﾅ and ASCII.\r\n' > "$work/text.txt"
cp "$work/text.txt" "$dir/utf8.txt"
printf '\xEF\xBB\xBF' | cat - "$work/text.txt" > "$dir/utf8-mark.txt"
iconv -f UTF-8 -t SHIFT_JIS "$work/text.txt" > "$dir/shift-jis.txt"
iconv -f UTF-8 -t EUC-JP "$work/text.txt" > "$dir/euc-jp.txt"
iconv -f UTF-8 -t UTF-16 "$work/text.txt" > "$dir/utf16-mark.txt"      # iconv writes a mark
iconv -f UTF-8 -t UTF-16BE "$work/text.txt" | { printf '\xFE\xFF'; cat; } > "$dir/utf16be-mark.txt"
printf 'plain ASCII only\r\n' > "$dir/ascii.txt"
printf 'binary\0with a zero byte' > "$dir/binary.bin"

# INI: the settings file's own shape, in the encodings a settings file arrives in.
dir=$(fresh "$tests/platform/corpus/ini_fuzz")
printf '; comment\r\n[Window]\r\nMainLeft=10\r\nMainTop = 20 \r\n\r\n[Player]\r\nTempo=100\r\nName="quoted 値"\r\n[RecentFileManager]\r\nFile0=C:\\音声\\a.mp3\r\n' > "$work/s.ini"
iconv -f UTF-8 -t UTF-16 "$work/s.ini" > "$dir/utf16.ini"
iconv -f UTF-8 -t SHIFT_JIS "$work/s.ini" > "$dir/shift-jis.ini"
printf '\xEF\xBB\xBF' | cat - "$work/s.ini" > "$dir/utf8-mark.ini"
printf '[a]\nk=v\n[b]\n=empty key\nno equals sign\n[unterminated\n' > "$dir/lf.ini"

# XML: the program's own resources, and documents re-encoded by xmllint.
dir=$(fresh "$tests/xml/corpus/xml_fuzz")
cp "$root/Resources/OrvellaThemeList.xml" "$dir/themes.xml"
cp "$root/Resources/Lyrics.txt" "$dir/lyrics-formats.xml"
cat > "$work/list.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE SentenceList>
<SentenceList version="1.0">
  <SentenceGroup Start="00:01:50" End="00:03:20"><Sentence>Excuse me, where is the station?</Sentence>
    <Translation>すみません、駅はどこですか。</Translation><Explanation><![CDATA[<b>Excuse me</b> & more]]></Explanation></SentenceGroup>
  <!-- a comment -->
  <WordList><Word name="station" meaning="&lt;駅&gt;"/></WordList>
  <id3 title='Asking &amp; "the" way'/>
</SentenceList>
XML
xmllint --encode UTF-8 "$work/list.xml" > "$dir/list-utf8.xml"
xmllint --encode UTF-16 "$work/list.xml" > "$dir/list-utf16.xml"
xmllint --encode Shift_JIS "$work/list.xml" > "$dir/list-shift-jis.xml"
xmllint --encode EUC-JP "$work/list.xml" > "$dir/list-euc-jp.xml"

# HTML pages as web sites send them, taken as UTF-16 by the reader: a page
# written by pydoc, the same re-serialised by xmllint's HTML writer, and a news
# page with entities and broken markup, each turned into UTF-16LE by iconv.
dir=$(fresh "$tests/xml/corpus/html_fuzz")
cat > "$work/lesson.py" <<'PY'
"""Phrases for today's lesson: <greetings> & "thanks"."""
def greet(name):
    """Say hello to name, politely."""
    return "Hello, " + name
PY
(cd "$work" && python3 -m pydoc -w lesson > /dev/null)
iconv -f UTF-8 -t UTF-16LE "$work/lesson.html" > "$dir/pydoc.html"
xmllint --html --encode UTF-8 "$work/lesson.html" 2> /dev/null | iconv -f UTF-8 -t UTF-16LE > "$dir/xmllint.html"
printf '<HTML><HEAD><TITLE>今日のニュース &amp; Words</TITLE></HEAD>\n<BODY><P CLASS=lead>Tokyo&nbsp;&#8212; a <A HREF="/item?id=1&amp;x=2">story<IMG SRC=a.jpg ALT="">\n<div><p>unclosed<br>&copy; &#x3042; &unknown; \\u3042</BODY>' \
  | iconv -f UTF-8 -t UTF-16LE > "$dir/news.html"

# The LRC format file: the shipped one and its re-encodings.
dir=$(fresh "$tests/lyrics/corpus/lrc_format_fuzz")
cp "$root/Resources/Lyrics.txt" "$dir/Lyrics.txt"
xmllint --encode UTF-16 "$root/Resources/Lyrics.txt" > "$dir/Lyrics-utf16.txt"
printf '<Formats><Format name="Only format" width="40" fontSize="8" extendedTag=""/><Format width="x"/></Formats>' > "$dir/format.txt"

# Playlists: HLS playlists written by ffmpeg (the M3U text it knows), and
# plain ones in the encodings a playlist arrives in.
dir=$(fresh "$tests/lyrics/corpus/playlist_fuzz")
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=3" -c:a libmp3lame -b:a 32k \
  -f hls -hls_time 1 -hls_list_size 0 -hls_segment_filename "$work/seg%d.ts" "$work/list.m3u8"
cp "$work/list.m3u8" "$dir/ffmpeg-hls.m3u"
printf '#EXTM3U\r\n#EXTINF:0,a.mp3\r\n..\\music\\a.mp3\r\n\r\n#EXTINF:0,音声.mp3\r\n.\\音声.mp3\r\n/abs/path/b.mp3\r\n# not a directive\r\n' > "$work/p.m3u"
iconv -f UTF-8 -t SHIFT_JIS "$work/p.m3u" > "$dir/shift-jis.m3u"
cp "$work/p.m3u" "$dir/utf8.m3u"
iconv -f UTF-8 -t UTF-16 "$work/p.m3u" > "$dir/utf16.m3u"

# MP3 frames: short clips in every MPEG version and layer III bit rates, by
# ffmpeg and lame, one ending in an ID3v1 tag.
dir=$(fresh "$tests/audio/corpus/mp3_fuzz")
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=0.1" "$work/tone.wav"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:sample_rate=22050:duration=0.1" "$work/tone22.wav"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:sample_rate=8000:duration=0.1" "$work/tone8.wav"
lame --quiet -b 32 --resample 32 "$work/tone.wav" "$dir/mpeg1-32k.mp3"
lame --quiet -V 9 "$work/tone22.wav" "$dir/mpeg2-vbr.mp3"
lame --quiet -b 8 "$work/tone8.wav" "$dir/mpeg25-8k.mp3"
ffmpeg -loglevel error -i "$work/tone.wav" -c:a mp2 -b:a 64k -f mp2 "$dir/layer2.mp2"
ffmpeg -loglevel error -i "$work/tone.wav" -c:a libmp3lame -b:a 48k -id3v2_version 0 -write_id3v1 1 \
  -metadata title=Tone "$dir/with-id3v1.mp3"

# ID3 tags with lyrics: written by mutagen over a short MP3, in every tag
# version and text encoding the reader meets.
dir=$(fresh "$tests/audio/corpus/id3_fuzz")
lame --quiet -b 8 "$work/tone8.wav" "$work/base.mp3"
python3 - "$work/base.mp3" "$dir" <<'PY'
import shutil, sys
from mutagen.id3 import ID3, SYLT, USLT, TIT2, Encoding
base, out = sys.argv[1], sys.argv[2]
lines = [("Excuse me.", 0), ("すみません。", 1500), ("Where is the station?", 3200)]
cases = [
    ("v24-utf8.mp3", 4, Encoding.UTF8),
    ("v23-utf16.mp3", 3, Encoding.UTF16),
    ("v23-latin1.mp3", 3, Encoding.LATIN1),
]
for name, version, enc in cases:
    path = f"{out}/{name}"
    shutil.copy(base, path)
    tag = ID3()
    text = lines if enc != Encoding.LATIN1 else [(t.encode("ascii", "replace").decode(), ms) for t, ms in lines]
    tag.add(TIT2(encoding=enc, text="Lesson"))
    tag.add(SYLT(encoding=enc, lang="eng", format=2, type=1, desc="", text=text))
    tag.add(USLT(encoding=enc, lang="eng", desc="" if version != 3 else "desc",
                 text="\n".join(t for t, _ in text)))
    tag.save(path, v2_version=version)
PY

# BMP: every depth the reader takes, both row orders, by ImageMagick and ffmpeg.
dir=$(fresh "$tests/toolkit/corpus/bmp_fuzz")
"$magick" -size 24x2 gradient:red-blue "$work/g.png"
"$magick" -seed 1 -size 20x2 plasma:fractal -colors 100 "$work/many.png"
"$magick" "$work/many.png" -type Palette -compress None BMP3:"$dir/palette8.bmp"
"$magick" "$work/many.png" -type Palette BMP3:"$dir/palette8-rle.bmp"
"$magick" "$work/g.png" -type Palette -compress None BMP3:"$dir/palette4.bmp"
"$magick" "$work/g.png" -type TrueColor BMP3:"$dir/rgb24.bmp"
"$magick" "$work/g.png" -alpha on -channel A -evaluate set 50% +channel -define bmp:format=bmp4 BMP:"$dir/rgba-v4.bmp"
ffmpeg -loglevel error -f lavfi -i "testsrc=size=5x4:rate=1" -frames:v 1 -pix_fmt bgra "$dir/bgra32.bmp"
ffmpeg -loglevel error -f lavfi -i "testsrc=size=7x3:rate=1" -frames:v 1 -pix_fmt rgb555le "$dir/rgb555.bmp"
ffmpeg -loglevel error -f lavfi -i "testsrc=size=7x3:rate=1" -frames:v 1 -pix_fmt rgb565le "$dir/rgb565-bitfields.bmp"
ffmpeg -loglevel error -f lavfi -i "testsrc=size=5x4:rate=1" -frames:v 1 -pix_fmt bgr24 "$dir/ffmpeg24.bmp"

# PNG: palette, grey, grey with alpha, RGB with a transparent colour, RGBA,
# 16 bits and interlaced.
dir=$(fresh "$tests/toolkit/corpus/png_fuzz")
"$magick" -size 8x8 gradient:white-green "$work/p.png"
"$magick" "$work/p.png" -strip PNG8:"$dir/palette.png"
"$magick" "$work/p.png" -colorspace Gray -strip PNG8:"$dir/grey.png"
"$magick" "$work/p.png" -colorspace Gray -alpha on -channel A -evaluate set 50% -strip PNG32:"$dir/grey-alpha.png"
"$magick" "$work/p.png" -transparent white -strip PNG24:"$dir/rgb-trns.png"
"$magick" "$work/p.png" -alpha on -strip PNG32:"$dir/rgba.png"
"$magick" "$work/p.png" -depth 16 -strip PNG48:"$dir/rgb16.png"
"$magick" "$work/p.png" -interlace PNG -strip PNG24:"$dir/interlaced.png"
ffmpeg -loglevel error -f lavfi -i "testsrc=size=9x5:rate=1" -frames:v 1 "$dir/ffmpeg.png"

# GIF: one frame, an animation with a local colour table, transparency, interlacing.
dir=$(fresh "$tests/toolkit/corpus/gif_fuzz")
"$magick" -size 8x6 gradient:yellow-blue "$dir/still.gif"
"$magick" -size 8x6 xc:red -transparent red "$dir/transparent.gif"
"$magick" -delay 10 -size 6x6 xc:red -size 4x3 xc:green -page +1+2 -size 3x3 xc:blue -loop 0 "$dir/animated.gif"
"$magick" -size 8x6 gradient:black-white -interlace GIF "$dir/interlaced.gif"
ffmpeg -loglevel error -f lavfi -i "testsrc=size=10x6:rate=2" -t 1 "$dir/ffmpeg.gif"

# JPEG: baseline, progressive, grey, CMYK, and ffmpeg's.
dir=$(fresh "$tests/toolkit/corpus/jpeg_fuzz")
"$magick" -size 16x8 gradient:orange-purple "$work/j.png"
"$magick" "$work/j.png" -quality 50 "$dir/baseline.jpg"
"$magick" "$work/j.png" -interlace JPEG "$dir/progressive.jpg"
"$magick" "$work/j.png" -colorspace Gray "$dir/grey.jpg"
"$magick" "$work/j.png" -colorspace CMYK "$dir/cmyk.jpg"
ffmpeg -loglevel error -f lavfi -i "testsrc=size=17x9:rate=1" -frames:v 1 "$dir/ffmpeg.jpg"

# Regular expressions: each seed is a mode byte, an options byte and UTF-16LE
# units (pattern, U+FFFF, subject); written here, there being no tool for them.
dir=$(fresh "$tests/editor/regex/corpus/regex_fuzz")
python3 - "$dir" <<'PY'
import sys
out = sys.argv[1]
cases = {
    "alternation": (0, r"(a|bc)*d", "abcbcad"),
    "classes": (0, r"[A-Z][a-z]+\s\d{2,}", "Tokyo 2024"),
    "backreference": (1, r"(\w+) \1", "the the"),
    "lookaround": (0, r"(?<=x)y(?!z)", "xyxyz"),
    "japanese": (2, r"[ぁ-ん]+。", "こんにちは。"),
    "anchors": (4, r"^\bend$", "start\nend"),
}
for name, (options, pattern, subject) in cases.items():
    units = (pattern + "\uffff" + subject).encode("utf-16-le")
    with open(f"{out}/{name}", "wb") as f:
        f.write(bytes([1, options]) + units)
# The generator mode: a few bytes that drive the pattern generator.
with open(f"{out}/generated", "wb") as f:
    f.write(bytes([0, 3, 1, 4, 1, 5, 9, 2, 6, 5, 3, 5]))
PY
echo "seeds made"
