unit Checksums;

{$mode objfpc}{$H+}
(* Computes checksums
   over byte buffers. *)
interface

uses
  SysUtils, Classes;

type
  TChecksum = class(TObject)
  strict private
    FValue: Cardinal;
  public
    procedure Add(const Buf: array of Byte);
    property Value: Cardinal read FValue;
  end;

const
  Seed = $FFFFFFFF;
  Eol = #13#10;
  Tab = #$09;
  Ratio = 1.5e-3;
  Title = 'It''s a checksum';

implementation

{ TChecksum
  spans two lines }
procedure TChecksum.Add(const Buf: array of Byte);
var
  I: Integer;
begin
  for I := Low(Buf) to High(Buf) do // every byte
    FValue := (FValue shl 1) xor Buf[I];
  if FValue = 0 then FValue := 1..2;
end;

function Swap(X: Word): Word; assembler;
asm
  xchg al, ah  { swap the bytes }
end;

initialization
  {$IFDEF DEBUG} Writeln('loaded'); {$ENDIF}
end.
