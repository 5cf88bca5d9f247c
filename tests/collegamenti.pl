#!/usr/bin/perl
# Every relative link of README.md and docs/*.md must lead somewhere: the
# file (or folder) exists and, for a link to FILE.md#anchor or #anchor, the
# anchor is one of that file's headings as GitHub names them (lower case,
# spaces to '-', punctuation dropped, a repeated heading numbered -1, -2...).
# Usage: perl tests/collegamenti.pl SOURCE_DIR
use strict;
use warnings;
use utf8;
use File::Basename qw(dirname);
use File::Spec;

binmode STDOUT, ':encoding(UTF-8)';
my $radice = shift // '.';
opendir(my $d, "$radice/docs") or die "collegamenti: $radice/docs: $!\n";
my @file = ('README.md', map { "docs/$_" } sort grep { /\.md$/ } readdir $d);
closedir $d;

sub leggi {
  my ($percorso) = @_;
  open(my $f, '<:encoding(UTF-8)', $percorso) or return undef;
  local $/;
  my $testo = <$f>;
  close $f;
  return $testo;
}

# The lines outside fenced code blocks.
sub righe_di_testo {
  my ($testo) = @_;
  my ($dentro, @righe) = (0);
  for my $riga (split /\n/, $testo) {
    if ($riga =~ /^\s*```/) { $dentro = !$dentro; next; }
    push @righe, $riga unless $dentro;
  }
  return @righe;
}

my %ancore;
sub ancore_di {
  my ($percorso) = @_;
  return $ancore{$percorso} if $ancore{$percorso};
  my (%viste, %insieme);
  for my $riga (righe_di_testo(leggi($percorso) // '')) {
    next unless $riga =~ /^#{1,6}\s+(.*?)\s*#*\s*$/;
    my $slug = lc $1;
    $slug =~ s/\[([^\]]*)\]\([^)]*\)/$1/g;   # a link in a heading keeps its text
    $slug =~ s/[^\w\- ]//g;                   # \w: letters, digits, '_' (Unicode)
    $slug =~ s/ /-/g;
    my $n = $viste{$slug}++;
    $insieme{$n ? "$slug-$n" : $slug} = 1;
  }
  return $ancore{$percorso} = \%insieme;
}

my $guasti = 0;
for my $nome (@file) {
  my $percorso = "$radice/$nome";
  my $testo = leggi($percorso) // die "collegamenti: $percorso: $!\n";
  for my $riga (righe_di_testo($testo)) {
    $riga =~ s/`[^`]*`//g;   # inline code is no link
    while ($riga =~ /\]\(\s*<?([^)\s>]+)>?(?:\s+"[^"]*")?\s*\)/g) {
      my $bersaglio = $1;
      next if $bersaglio =~ m{^[a-z][a-z0-9+.-]*:}i;   # http:, mailto:, ...
      my ($parte_file, $ancora) = split /#/, $bersaglio, 2;
      my $destinazione = $parte_file eq ''
        ? $percorso
        : File::Spec->catfile(dirname($percorso), $parte_file);
      $destinazione =~ s/%20/ /g;
      if (!-e $destinazione) {
        print "$nome: collegamento a \"$bersaglio\": $parte_file non esiste\n";
        $guasti++;
        next;
      }
      next unless defined $ancora && $ancora ne '';
      if ($destinazione !~ /\.md$/) {
        print "$nome: collegamento a \"$bersaglio\": un'ancora in un file che non è markdown\n";
        $guasti++;
      } elsif (!ancore_di($destinazione)->{$ancora}) {
        print "$nome: collegamento a \"$bersaglio\": nessun titolo dà l'ancora #$ancora\n";
        $guasti++;
      }
    }
  }
}
my $quanti = scalar @file;
if ($guasti) {
  print "collegamenti: $guasti collegamenti rotti in $quanti file\n";
  exit 1;
}
print "collegamenti: ogni collegamento dei $quanti file porta a destinazione\n";
exit 0;
