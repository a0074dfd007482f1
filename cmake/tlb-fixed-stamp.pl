#!/usr/bin/perl
# widl stamps each type library with the time it was made: a custom-data text
# "Created by WIDL version V at <ctime>\n" followed by the same time as a VT_UI4 (and ignores
# SOURCE_DATE_EPOCH). Both are set to the epoch, in place and at the same length, so that the
# same sources always give the same .tlb bytes. Usage: tlb-fixed-stamp.pl FILE.tlb
use strict;
use warnings;
my $file = shift or die "usage: $0 FILE.tlb\n";
open(my $in, '<:raw', $file) or die "$file: $!\n";
my $bytes = do { local $/; <$in> };
close($in);
my $count = ($bytes =~ s/(Created by WIDL version [^\n]* at )[A-Z][a-z]{2} [A-Z][a-z]{2} [ \d]\d \d\d:\d\d:\d\d \d{4}(\n(?:W)*\x13\x00)..../$1Thu Jan  1 00:00:00 1970$2\x00\x00\x00\x00/gs);
$count == 1 or die "$file: expected one widl time stamp, found $count\n";
open(my $out, '>:raw', $file) or die "$file: $!\n";
print $out $bytes;
close($out) or die "$file: $!\n";
