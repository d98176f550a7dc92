#!/usr/bin/env bash
# Builds the demo bibles KJV.mdb and WEB.mdb in DESTFOLDER from Debian's SWORD modules
# (engKJV2006eb, engWEB2015eb) through diatheke and `kantelo-db make-bible`. A bible whose .mdb
# file already exists is skipped; each file appears only when complete (written under a temporary
# name and renamed).
#
# usage: scripts/make-demo-bibles.sh DESTFOLDER
# env:   KANTELO_DB  the kantelo-db tool (default: build/tools/kantelo_db/kantelo-db)
set -euo pipefail

dest=${1:?usage: make-demo-bibles.sh DESTFOLDER}
repo=$(cd "$(dirname "$0")/.." && pwd)
tool=${KANTELO_DB:-$repo/build/tools/kantelo_db/kantelo-db}

fail() { echo "make-demo-bibles: $*" >&2; exit 1; }
[ -x "$tool" ] || fail "$tool not found; build the project first"
command -v diatheke >/dev/null || fail "diatheke not found (Debian packages diatheke sword-text-kjv sword-text-web)"
command -v perl >/dev/null || fail "perl not found"
mkdir -p "$dest"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Turns diatheke's "internal" output (one verse per line: optional leading markup such as a psalm
# title, then "Book C:V: " and the verse's OSIS/ThML markup) into make-bible's source format.
# Notes, titles and every tag are dropped, so no Strong's numbers or footnotes remain; the 66
# books of the protestant canon are numbered in canonical order and named in English.
cat >"$work/convert.pl" <<'PERL'
use strict;
use warnings;
binmode STDIN;
binmode STDOUT;
my @names = (
  'Genesis', 'Exodus', 'Leviticus', 'Numbers', 'Deuteronomy', 'Joshua', 'Judges', 'Ruth',
  '1 Samuel', '2 Samuel', '1 Kings', '2 Kings', '1 Chronicles', '2 Chronicles', 'Ezra',
  'Nehemiah', 'Esther', 'Job', 'Psalms', 'Proverbs', 'Ecclesiastes', 'Song of Solomon',
  'Isaiah', 'Jeremiah', 'Lamentations', 'Ezekiel', 'Daniel', 'Hosea', 'Joel', 'Amos',
  'Obadiah', 'Jonah', 'Micah', 'Nahum', 'Habakkuk', 'Zephaniah', 'Haggai', 'Zechariah',
  'Malachi', 'Matthew', 'Mark', 'Luke', 'John', 'Acts', 'Romans', '1 Corinthians',
  '2 Corinthians', 'Galatians', 'Ephesians', 'Philippians', 'Colossians', '1 Thessalonians',
  '2 Thessalonians', '1 Timothy', '2 Timothy', 'Titus', 'Philemon', 'Hebrews', 'James',
  '1 Peter', '2 Peter', '1 John', '2 John', '3 John', 'Jude', 'Revelation');
my %number;
$number{$names[$_]} = $_ + 1 for 0 .. $#names;
my (%seen, %booksSeen);
my $verses = 0;
sub utf8char { my $s = chr(shift); utf8::encode($s); return $s; }
print "B\t", $_ + 1, "\t$names[$_]\n" for 0 .. $#names;
while (my $line = <STDIN>) {
  $line =~ s/\r?\n\z//;
  next if $line =~ /^\s*$/ || $line =~ /^\([^)]*\)$/;    # blank, or the closing "(module)"
  $line =~ /^(?:.*?>)?\s*((?:I{1,3} )?[A-Z][A-Za-z ]*?) (\d+):(\d+):(.*)$/
    or die "unexpected line $.: " . substr($line, 0, 120) . "\n";
  my ($book, $chapter, $verse, $text) = ($1, $2, $3, $4);
  $book =~ s/^III /3 /;
  $book =~ s/^II /2 /;
  $book =~ s/^I /1 /;
  $book = 'Revelation' if $book eq 'Revelation of John';
  my $b = $number{$book} // die "line $.: unknown book '$book'\n";
  next if $seen{"$b:$chapter:$verse"}++;
  $booksSeen{$b} = 1;
  $text =~ s{<note\b[^>]*/>}{}g;
  $text =~ s{<note\b.*?</note>}{}gs;
  $text =~ s{<title\b.*?</title>}{}gs;
  $text =~ s{</q>(?=<q\b)}{ }g;      # WEB: "only born</q><q>Son" has no blank in between
  # WEB: "God</w><w ...>created", "Yahweh<w ...>will" - words with nothing between them but markup
  $text =~ s{</w>(?=(?:<(?!w\b)[^>]*>)*<w\b)}{</w> }g;
  $text =~ s{(?<=[A-Za-z0-9])(?=<w\b)}{ }g;
  $text =~ s{<[^>]*>}{}g;
  $text =~ s/&#x([0-9A-Fa-f]+);/utf8char(hex $1)/ge;
  $text =~ s/&#(\d+);/utf8char($1)/ge;
  $text =~ s/&lt;/</g;
  $text =~ s/&gt;/>/g;
  $text =~ s/&quot;/"/g;
  $text =~ s/&apos;/'/g;
  $text =~ s/&amp;/&/g;
  $text =~ s/\xC2\xB6//g;             # KJV paragraph marks (U+00B6)
  $text =~ s/\s+/ /g;
  $text =~ s/^ //;
  $text =~ s/ $//;
  $text =~ s/\\/\\\\/g;
  print "V\t$b\t$chapter\t$verse\t$text\n";
  $verses++;
}
my $books = keys %booksSeen;
die "only $books of 66 books found\n" if $books != 66;
print STDERR "$verses verses in $books books\n";
PERL

build_bible() { # NAME MODULE
  local name=$1 module=$2
  local out="$dest/$name.mdb" part="$dest/.$name.mdb.part"
  if [ -e "$out" ]; then
    echo "make-demo-bibles: $out exists, kept"
    return 0
  fi
  # Two ranges, so that deuterocanonical books between the testaments are never asked for.
  diatheke -b "$module" -f internal -k "Genesis 1:1-Malachi 4:6" >"$work/$name.ot" &
  local ot=$!
  diatheke -b "$module" -f internal -k "Matthew 1:1-Revelation of John 22:21" >"$work/$name.nt" &
  local nt=$!
  wait "$ot" || fail "diatheke failed for $module (Old Testament)"
  wait "$nt" || fail "diatheke failed for $module (New Testament)"
  local count
  count=$(cat "$work/$name.ot" "$work/$name.nt" | perl "$work/convert.pl" 2>&1 >"$work/$name.src") ||
    fail "$module: $count"
  rm -f "$part"
  "$tool" make-bible "$part" "$work/$name.src" || { rm -f "$part"; fail "make-bible failed for $name"; }
  mv -f "$part" "$out"
  echo "make-demo-bibles: $out: $count, $(stat -c %s "$out") bytes"
}

start=$SECONDS
build_bible KJV engKJV2006eb &
kjv=$!
build_bible WEB engWEB2015eb &
web=$!
status=0
wait "$kjv" || status=1
wait "$web" || status=1
[ "$status" -eq 0 ] || fail "not every demo bible was built"
echo "make-demo-bibles: done in $((SECONDS - start)) s"
