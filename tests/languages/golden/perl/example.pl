#!/usr/bin/perl
use v5.36;
use strict;
use warnings;
use File::Basename;

=head1 NAME

report.pl - summarise a log file

=cut

my %count;
my @files = @ARGV ? @ARGV : ('access.log');
my $total = 0x1F + 017 + 1_000 + 3.5e2;

sub BEGIN { $| = 1 }

for my $file (@files) {
    open(my $fh, '<', $file) or die "Cannot open $file: $!";
    while (my $line = <$fh>) {
        chomp $line;
        next if $line =~ /^\s*#/;
        my ($host, $path) = split /\s+/, $line;
        $count{$host}++ if $path =~ m{^/api/(\w+)}x;
        $line =~ s{(\d+)}{<$1>}g;
        $line =~ tr/a-z/A-Z/;
        $total += length($line) / 2;
    }
    close $fh;
}

my @words = qw(alpha beta
               gamma);
my $sep = '-' x 20;
my $msg = qq{Hosts: ${\ scalar keys %count} of $total};
print STDERR "Warning: $files[0] and $count{'x'} seen\n" if -e $files[0];

print <<~"END", <<'RAW';
    Total: $total
    Separator: $sep
    END
Not $interpolated here
RAW

format STDOUT =
@<<<<<<<<<<< @>>>>>
$msg,        $total
.

say join ', ', map { "$_=$count{$_}" } sort keys %count;
__END__
This is data, not $code.
